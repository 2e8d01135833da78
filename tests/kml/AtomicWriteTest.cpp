#include "kml/AtomicWrite.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempFolder;
using test::writeFile;

// Sends text in two pieces, as the KML writer would in many.
std::function<void(const ByteSink &)> producing(std::string text) {
    return [text = std::move(text)](const ByteSink &sink) {
        sink(std::string_view(text).substr(0, text.size() / 2));
        sink(std::string_view(text).substr(text.size() / 2));
    };
}

mode_t modeOf(const std::string &path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode;
}

class UmaskGuard {
public:
    explicit UmaskGuard(mode_t mask)
        : old_(umask(mask)) {}
    ~UmaskGuard() { umask(old_); }

private:
    mode_t old_;
};

TEST(AtomicWrite, CreatesANewFileWithTheUsualPermissions) {
    TempFolder folder;
    UmaskGuard mask(027);
    const WriteResult result = writeFileAtomically(folder / "new.kml", producing("<kml/>\n"));
    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(readFile(folder / "new.kml"), "<kml/>\n");
    EXPECT_EQ(modeOf(folder / "new.kml") & 07777, 0640u);
    EXPECT_EQ(folder.names(), std::set<std::string>{"new.kml"});
}

TEST(AtomicWrite, ReplacesAnExistingFileWholeAndKeepsItsMode) {
    TempFolder folder;
    writeFile(folder / "out.kml", std::string(100'000, 'x'));
    chmod((folder / "out.kml").c_str(), 0604);
    const WriteResult result = writeFileAtomically(folder / "out.kml", producing("short"));
    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(readFile(folder / "out.kml"), "short");
    EXPECT_EQ(modeOf(folder / "out.kml") & 07777, 0604u);
    EXPECT_EQ(folder.names(), std::set<std::string>{"out.kml"});
}

TEST(AtomicWrite, WritesThroughASymbolicLinkToItsFile) {
    TempFolder folder;
    fs::create_directory(folder.path() / "real");
    writeFile(folder / "real/out.kml", "old");
    fs::create_symlink("real/out.kml", folder.path() / "link.kml");
    const WriteResult result = writeFileAtomically(folder / "link.kml", producing("new"));
    ASSERT_TRUE(result) << result.error;
    EXPECT_TRUE(fs::is_symlink(folder.path() / "link.kml"));
    EXPECT_EQ(readFile(folder / "real/out.kml"), "new");
    EXPECT_EQ(TempFolder::names(folder.path() / "real"), std::set<std::string>{"out.kml"});
}

TEST(AtomicWrite, RefusesWhatItCannotReplaceAndLeavesItAlone) {
    TempFolder folder;
    fs::create_directory(folder.path() / "folder.kml");
    writeFile(folder / "folder.kml/inside", "kept");
    ASSERT_EQ(mkfifo((folder / "pipe.kml").c_str(), 0600), 0);
    fs::create_symlink("folder.kml", folder.path() / "link-to-folder.kml");

    for (const char *name :
         {"folder.kml", "pipe.kml", "link-to-folder.kml", "missing/out.kml", "folder.kml/"}) {
        const WriteResult result = writeFileAtomically(folder / name, producing("data"));
        EXPECT_FALSE(result) << name;
        EXPECT_NE(result.error.find(folder / name), std::string::npos) << result.error;
    }
    EXPECT_TRUE(fs::is_directory(folder.path() / "folder.kml"));
    EXPECT_EQ(readFile(folder / "folder.kml/inside"), "kept");
    EXPECT_TRUE(S_ISFIFO(modeOf(folder / "pipe.kml")));
    EXPECT_EQ(folder.names(), (std::set<std::string>{"folder.kml", "link-to-folder.kml", "pipe.kml"}));
    EXPECT_EQ(TempFolder::names(folder.path() / "folder.kml"), std::set<std::string>{"inside"});
}

TEST(AtomicWrite, AFailingProducerLeavesTheDestinationAsItWas) {
    TempFolder folder;
    writeFile(folder / "out.kml", "previous contents");
    const WriteResult result = writeFileAtomically(folder / "out.kml", [](const ByteSink &sink) {
        sink(std::string(200'000, 'y'));
        throw std::runtime_error("out of track points");
    });
    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find("out of track points"), std::string::npos) << result.error;
    EXPECT_EQ(readFile(folder / "out.kml"), "previous contents");
    EXPECT_EQ(folder.names(), std::set<std::string>{"out.kml"});
}

TEST(AtomicWrite, AFolderWithoutWritePermissionFailsCleanly) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempFolder folder;
    writeFile(folder / "out.kml", "previous contents");
    chmod(folder.path().c_str(), 0500);
    const WriteResult result = writeFileAtomically(folder / "out.kml", producing("data"));
    chmod(folder.path().c_str(), 0700);
    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find("Permission denied"), std::string::npos) << result.error;
    EXPECT_EQ(readFile(folder / "out.kml"), "previous contents");
    EXPECT_EQ(folder.names(), std::set<std::string>{"out.kml"});
}

} // namespace
} // namespace pelorin
