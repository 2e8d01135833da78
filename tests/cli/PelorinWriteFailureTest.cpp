// A failed write leaves the destination as it was and no temporary file
// behind. Never aimed at a device: as root, a rename over one would replace
// the device node.

#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// A small tmpfs of the test's own, where the test may mount one (root with
// the capability); unmounted when done.
class TmpfsMount {
public:
    TmpfsMount(const fs::path &where, const char *options)
        : where_(where) {
        fs::create_directory(where_);
        mounted_ = mount("tmpfs", where_.c_str(), "tmpfs", 0, options) == 0;
        error_ = mounted_ ? "" : std::strerror(errno);
    }
    ~TmpfsMount() {
        if (mounted_)
            umount2(where_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    const std::string &error() const { return error_; }
    bool remountReadOnly(const char *options) {
        return mount("tmpfs", where_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, options) == 0;
    }

private:
    fs::path where_;
    bool mounted_ = false;
    std::string error_;
};

// Sets or clears the immutable attribute: renaming over such a file fails
// even for root, while its folder stays writable.
bool setImmutable(const fs::path &path, bool on) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return ok;
}

std::vector<std::string> namesIn(const fs::path &folder) {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class WriteFailureTest : public SurveyTest {
protected:
    // Runs against destination and checks the failure contract.
    void expectRefused(const fs::path &destination) {
        const fs::path folder = destination.parent_path();
        const bool folderExists = fs::exists(folder);
        const auto before = folderExists ? namesIn(folder) : std::vector<std::string>{};
        const RunResult r = run(destination.string());
        ASSERT_FALSE(r.hung);
        EXPECT_EQ(r.exitCode, 3) << r.err;
        EXPECT_THAT(r.err, HasSubstr(destination.string()));
        if (folderExists) {
            EXPECT_EQ(namesIn(folder), before) << "a temporary file was left behind";
        }
    }
};

TEST_F(WriteFailureTest, MissingFolder) {
    expectRefused(dir / "no-such-folder" / "out.kml");
    EXPECT_FALSE(fs::exists(dir / "no-such-folder"));
}

TEST_F(WriteFailureTest, DestinationThatIsNotARegularFileIsLeftAlone) {
    fs::create_directory(dir / "folder.kml");
    writeFile(dir / "folder.kml" / "inside", "kept");
    expectRefused(dir / "folder.kml");
    EXPECT_EQ(readFile(dir / "folder.kml" / "inside"), "kept");

    ASSERT_EQ(mkfifo((dir / "fifo.kml").c_str(), 0600), 0);
    expectRefused(dir / "fifo.kml");
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.kml"));

    fs::create_directory_symlink(dir / "folder.kml", dir / "link.kml");
    expectRefused(dir / "link.kml");
    EXPECT_TRUE(fs::is_directory(dir / "folder.kml"));
}

TEST_F(WriteFailureTest, RenameThatFailsKeepsTheDestination) {
    const fs::path destination = dir / "out.kml";
    writeFile(destination, "the previous document");
    if (!setImmutable(destination, true))
        GTEST_SKIP() << "cannot make a file immutable here (needs root on a file system that supports it)";
    expectRefused(destination);
    setImmutable(destination, false);
    EXPECT_EQ(readFile(destination), "the previous document");
}

TEST_F(WriteFailureTest, ReadOnlyFolderKeepsTheDestination) {
    TmpfsMount mount(dir / "ro", "size=256k");
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
    const fs::path destination = dir / "ro" / "out.kml";
    writeFile(destination, "the previous document");
    ASSERT_TRUE(mount.remountReadOnly("size=256k"));
    expectRefused(destination);
    EXPECT_EQ(readFile(destination), "the previous document");
}

TEST_F(WriteFailureTest, FullFileSystemKeepsTheDestination) {
    TmpfsMount mount(dir / "small", "size=32k");
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
    // A track long enough that its document cannot fit.
    std::string track = "<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>\n";
    for (int i = 0; i < 3000; ++i) {
        track += "<trkpt lat=\"51." + std::to_string(100000 + i) + "\" lon=\"12." +
                 std::to_string(200000 + i) + "\"><time>2025-06-12T10:" + (i / 60 < 10 ? "0" : "") +
                 std::to_string(i / 60 % 60) + ":" + (i % 60 < 10 ? "0" : "") + std::to_string(i % 60) +
                 "Z</time></trkpt>\n";
    }
    writeFile(gpx(), track.substr(0, track.size()) + "</trkseg></trk></gpx>\n");
    const fs::path destination = dir / "small" / "out.kml";
    writeFile(destination, "the previous document");
    expectRefused(destination);
    EXPECT_EQ(readFile(destination), "the previous document");
}

} // namespace
} // namespace pelorin::test
