#include "fileio/AtomicWrite.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using test::readFile;

long entries(const fs::path &folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

// Writes text in two pieces, as the KML writer would in many.
WriteResult write(const fs::path &path, std::string text) {
    return writeFileAtomically(path, [&text](const ByteSink &sink) {
        sink(std::string_view(text).substr(0, text.size() / 2));
        sink(std::string_view(text).substr(text.size() / 2));
    });
}

// A replaced file keeps its mode; written through a link, the link stays a link and its target is replaced
// (or created, when the link dangles).
TEST(AtomicWrite, CreatesWithTheUsualModeThenReplacesWholeKeepingTheModeAndLinks) {
    test::TempFolder folder;
    const mode_t oldMask = umask(027);
    const WriteResult created = write(folder / "out.kml", std::string(100'000, 'x'));
    umask(oldMask);
    ASSERT_TRUE(created) << created.error;
    EXPECT_EQ(fs::status(folder / "out.kml").permissions(), fs::perms(0640));
    fs::permissions(folder / "out.kml", fs::perms(0604));
    fs::create_symlink("out.kml", folder / "link.kml");
    fs::create_symlink("new.kml", folder / "dangling.kml");
    ASSERT_TRUE(write(folder / "link.kml", "short"));
    ASSERT_TRUE(write(folder / "dangling.kml", "new"));
    EXPECT_EQ(readFile(folder / "out.kml"), "short");
    EXPECT_EQ(readFile(folder / "new.kml"), "new");
    EXPECT_EQ(fs::read_symlink(folder / "link.kml"), "out.kml");
    EXPECT_EQ(fs::status(folder / "out.kml").permissions(), fs::perms(0604));
    EXPECT_EQ(entries(folder / "."), 4);
}

TEST(AtomicWrite, RefusesWhatItCannotReplaceOrFinishAndLeavesItAlone) {
    test::TempFolder folder;
    fs::create_directory(folder / "folder.kml");
    std::ofstream(folder / "folder.kml/inside") << "kept";
    ASSERT_EQ(mkfifo((folder / "pipe.kml").c_str(), 0600), 0);
    const std::string at = folder.path.string() + "/";
    const std::pair<std::string, std::string> refused[] = {
        {"folder.kml", "it is a folder; it was left alone"},
        {"pipe.kml", "it is not a regular file; it was left alone"},
        {"missing/out.kml",
         "couldn't create a temporary file in " + at + "missing: No such file or directory"},
    };
    for (const auto &[name, error] : refused) {
        const WriteResult result = write(at + name, "data");
        EXPECT_FALSE(result) << name;
        EXPECT_EQ(result.error, "Couldn't write " + at + name + ": " + error);
    }
    EXPECT_EQ(write("", "data").error, "Couldn't write: no destination given");
    EXPECT_EQ(readFile(folder / "folder.kml/inside"), "kept");
    EXPECT_TRUE(fs::is_fifo(folder / "pipe.kml"));

    std::ofstream(folder / "out.kml") << "previous contents";
    const WriteResult failed = writeFileAtomically(folder / "out.kml", [](const ByteSink &sink) {
        sink(std::string(9 << 20, 'y')); // past the first write-behind step
        throw std::runtime_error("out of track points");
    });
    EXPECT_NE(failed.error.find("out of track points"), std::string::npos) << failed.error;
    EXPECT_EQ(readFile(folder / "out.kml"), "previous contents");
    EXPECT_EQ(entries(folder / "."), 3);
}

} // namespace
} // namespace pelorin
