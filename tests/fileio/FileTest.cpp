#include "fileio/File.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

// Each kind of name the readers meet: what the opener makes of it. A link is
// followed unless refused; a FIFO without a writer does not hang the open.
TEST(File, OpensRegularFilesForReadingAndSaysWhyNotOtherwise) {
    test::TempFolder folder;
    std::ofstream(folder / "log.gpx") << "0123456789";
    fs::create_symlink(folder / "log.gpx", folder / "link.gpx");
    ASSERT_EQ(::mkfifo((folder / "pipe.gpx").c_str(), 0600), 0);
    using P = ReadOnlyFile::Problem;
    using L = File::Links;
    const struct {
        std::string path;
        L links;
        P problem;
        FileType type;
        std::string error;
    } cases[] = {
        {folder / "log.gpx", L::Follow, P::None, FileType::Regular, ""},
        {folder / "link.gpx", L::Refuse, P::CannotOpen, FileType::Device,
         "Too many levels of symbolic links"},
        {folder / "pipe.gpx", L::Follow, P::NotRegular, FileType::Pipe, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const ReadOnlyFile opened = openReadOnly(c.path, c.links);
        EXPECT_EQ(opened.problem, c.problem);
        EXPECT_EQ(opened.status.type, c.type);
        EXPECT_EQ(opened.error ? opened.error.message() : "", c.error);
        EXPECT_EQ(opened.file.isOpen(), c.problem == P::None);
    }
    EXPECT_EQ(openReadOnly(folder / "log.gpx", L::Follow).status.size, 10u);
}

// Reads at an offset stop at the end; writes land where they are put; the position the stream reads
// from is the file's own. Unique files are new, empty and the owner's only.
TEST(File, ReadsAndWritesAtOffsetsAndCreatesUniqueFiles) {
    test::TempFolder folder;
    std::ofstream(folder / "a.wav") << "0123456789";
    std::error_code error;
    File file = File::open(folder / "a.wav", File::Access::ReadWrite, File::Links::Refuse, error);
    ASSERT_TRUE(file.isOpen()) << error.message();
    std::string bytes(6, '.');
    EXPECT_EQ(file.readAt(7, bytes.data(), bytes.size()), 3u);
    EXPECT_EQ(bytes, "789...");
    EXPECT_TRUE(file.writeAt(2, "ab", error));
    EXPECT_TRUE(file.writeAt(12, "z", error)); // past the end: a hole of two zero bytes
    EXPECT_TRUE(file.flushData(error));
    EXPECT_EQ(file.read(bytes.data(), 4, error), 4u);
    EXPECT_EQ(bytes.substr(0, 4), "01ab");
    EXPECT_EQ(test::readFile(folder / "a.wav"), std::string("01ab456789\0\0z", 13));

    const std::optional<std::string> first = createUniqueFile(folder / "preview.XXXXXX");
    const std::optional<std::string> second = createUniqueFile(folder / "preview.XXXXXX");
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(fs::status(*first).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(createUniqueFile(folder / "x.XXXX")); // too few to make unique
}

} // namespace
} // namespace pelorin
