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

// How many entries a folder holds, to see that no temporary file was left behind.
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

TEST(AtomicWrite, CreatesWithTheUsualModeThenReplacesWholeKeepingTheMode) {
    test::TempFolder folder;
    const mode_t oldMask = umask(027);
    const WriteResult created = write(folder / "out.kml", std::string(100'000, 'x'));
    umask(oldMask);
    ASSERT_TRUE(created) << created.error;
    EXPECT_EQ(fs::status(folder / "out.kml").permissions(), fs::perms(0640));
    fs::permissions(folder / "out.kml", fs::perms(0604));
    ASSERT_TRUE(write(folder / "out.kml", "short"));
    EXPECT_EQ(readFile(folder / "out.kml"), "short");
    EXPECT_EQ(fs::status(folder / "out.kml").permissions(), fs::perms(0604));
    EXPECT_EQ(entries(folder / "."), 1);
}

TEST(AtomicWrite, RefusesWhatItCannotReplaceOrFinishAndLeavesItAlone) {
    test::TempFolder folder;
    fs::create_directory(folder / "folder.kml");
    std::ofstream(folder / "folder.kml/inside") << "kept";
    ASSERT_EQ(mkfifo((folder / "pipe.kml").c_str(), 0600), 0);
    std::ofstream(folder / "file.txt") << "kept";
    fs::create_symlink("loop.kml", folder / "loop.kml");
    const std::string at = folder.path.string() + "/";
    const std::pair<std::string, std::string> refused[] = {
        {"folder.kml", "it is a folder; it was left alone"},
        {"pipe.kml", "it is not a regular file; it was left alone"},
        {"missing/out.kml",
         "couldn't create a temporary file in " + at + "missing: No such file or directory"},
        {"new.kml/", "it names a folder, not a file"},
        {"file.txt/out.kml", "couldn't examine " + at + "file.txt/out.kml: Not a directory"},
        {"loop.kml", "Too many levels of symbolic links"},
    };
    for (const auto &[name, error] : refused) {
        const WriteResult result = write(at + name, "data");
        EXPECT_FALSE(result) << name;
        EXPECT_EQ(result.error, "Couldn't write " + at + name + ": " + error);
    }
    EXPECT_EQ(write("", "data").error, "Couldn't write: no destination given");
    EXPECT_EQ(readFile(folder / "file.txt"), "kept");
    EXPECT_EQ(readFile(folder / "folder.kml/inside"), "kept");
    EXPECT_TRUE(fs::is_fifo(folder / "pipe.kml"));

    std::ofstream(folder / "out.kml") << "previous contents";
    const WriteResult failed = writeFileAtomically(folder / "out.kml", [](const ByteSink &sink) {
        sink(std::string(9 << 20, 'y')); // past the first write-behind step
        throw std::runtime_error("out of track points");
    });
    EXPECT_FALSE(failed);
    EXPECT_NE(failed.error.find("out of track points"), std::string::npos) << failed.error;
    EXPECT_EQ(readFile(folder / "out.kml"), "previous contents");
    EXPECT_EQ(entries(folder / "."), 5);
    EXPECT_EQ(entries(folder / "folder.kml"), 1);
}

// Writing through a link replaces the file it points to, keeps its mode, and leaves the link a link.
TEST(AtomicWrite, WritesThroughSymbolicLinksLeavingThemInPlace) {
    test::TempFolder folder;
    fs::create_directory(folder / "data");
    const struct {
        const char *link;
        std::string target; // as the link holds it
        const char *file;   // what is written, relative to the folder
    } cases[] = {
        {"relative.kml", "data/a.kml", "data/a.kml"},
        {"absolute.kml", folder / "data/b.kml", "data/b.kml"},
        {"chain.kml", "relative.kml", "data/a.kml"},
        {"dangling.kml", "data/new.kml", "data/new.kml"}, // the target is created
    };
    std::ofstream(folder / "data/a.kml") << "old a";
    std::ofstream(folder / "data/b.kml") << "old b";
    fs::permissions(folder / "data/a.kml", fs::perms(0604));
    for (const auto &c : cases)
        fs::create_symlink(c.target, folder / c.link);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        ASSERT_TRUE(write(folder / c.link, std::string("via ") + c.link));
        EXPECT_EQ(fs::read_symlink(folder / c.link), c.target);
        EXPECT_EQ(readFile(folder / c.file), std::string("via ") + c.link);
    }
    EXPECT_EQ(fs::status(folder / "data/a.kml").permissions(), fs::perms(0604));
    EXPECT_EQ(entries(folder / "."), 5);
    EXPECT_EQ(entries(folder / "data"), 3);
}

} // namespace
} // namespace pelorin
