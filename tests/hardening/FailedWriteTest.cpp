// Writes that fail: exit 3, the destination byte for byte as it was, and no
// temporary file left beside it; one that succeeds is flushed before it replaces anything. Each case sets its
// output folder up in a shell; those that mount do so in a private mount namespace and are skipped where that
// is not permitted. Never aimed at a device: as root, a rename over one would replace the device node.
#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

#include <sstream>

#include <unistd.h>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class FailedWrite : public SurveyTest {};

constexpr int kCannotMount = 77;

// $1 the output folder, $2 and $3 where its snapshots before and after the
// command go, then the command. A snapshot: every name and type, every file's bytes.
std::string harness(const std::string &setup) {
    return "set -e; out=$1 before=$2 after=$3; shift 3\n"
           "snapshot() { find \"$out\" -printf '%y %P\\n' | sort; find \"$out\" -type f -exec cat {} +; }\n" +
           setup +
           "\nsnapshot > \"$before\"\n"
           "status=0; \"$@\" || status=$?\n"
           "snapshot > \"$after\"; exit $status\n";
}

TEST_F(FailedWrite, DestinationIsLeftAsItWasWithNoTemporaryFile) {
    const std::string old = "echo 'the earlier export' > \"$out/track.kml\"";
    const struct {
        const char *name;
        std::string setup;
        const char *destination = "track.kml";
        bool mounts = false;
    } cases[] = {
        // Folders, FIFOs and links as destinations are the atomic write's own tests.
        {"in a missing folder", "", "missing/track.kml"},
        {"in a read-only folder",
         old + "; mount --bind \"$out\" \"$out\" && mount -o remount,bind,ro \"$out\" || exit 77",
         "track.kml", true},
        {"on a full file system", "mount -t tmpfs -o size=4k tmpfs \"$out\" || exit 77; " + old, "track.kml",
         true},
        // A file bound over the destination: every check passes, but no rename may replace it.
        {"a rename that fails",
         old + "; echo mounted > \"$out/../mounted\"; mount --bind \"$out/../mounted\" \"$out/track.kml\" || "
               "exit 77",
         "track.kml", true},
    };
    // As root inside a user namespace when not root outside.
    const std::vector<std::string> unshare = geteuid() == 0 ? std::vector<std::string>{"unshare", "-m"}
                                                            : std::vector<std::string>{"unshare", "-r", "-m"};
    std::vector<std::string> probe = unshare;
    probe.push_back("true");
    const bool mayUnshare = runProgram(probe).exitCode == 0;
    std::string skipped;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto &c = cases[i];
        SCOPED_TRACE(c.name);
        const fs::path folder = dir / std::to_string(i);
        fs::create_directories(folder / "out");
        const std::string destination = (folder / "out" / c.destination).string();
        std::vector<std::string> argv = c.mounts ? unshare : std::vector<std::string>{};
        argv = concat(concat(argv, {"sh", "-c", harness(c.setup), "sh", (folder / "out").string(),
                                    (folder / "before").string(), (folder / "after").string()}),
                      command(destination));
        RunResult r;
        r.exitCode = kCannotMount;
        if (!c.mounts || mayUnshare)
            r = runProgram(argv);
        if (c.mounts && r.exitCode == kCannotMount) {
            skipped += std::string(" ") + c.name + ";";
            continue;
        }
        EXPECT_EQ(r.exitCode, 3) << r.err;
        EXPECT_THAT(r.err, HasSubstr(destination));
        EXPECT_EQ(readFile(folder / "after"), readFile(folder / "before"));
    }
    if (!skipped.empty())
        GTEST_SKIP() << "may not mount here, so not run:" << skipped;
}

TEST_F(FailedWrite, OutputThatIsAnInputIsRefused) {
    for (const std::string &input : {gpx(), csv()}) {
        SCOPED_TRACE(input);
        const std::string original = readFile(input);
        EXPECT_EQ(run(input).exitCode, 2);
        EXPECT_EQ(readFile(input), original);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2); // no temporary
}

// A write that succeeds is on the disk before it replaces the old file: a power cut leaves one or the other.
TEST_F(FailedWrite, TheNewFileIsFlushedBeforeTheRename) {
    if (!mayTrace())
        GTEST_SKIP() << "strace cannot trace here";
    const std::string trace = (dir / "write.trace").string();
    const RunResult r =
        runProgram(underStrace("fsync,fdatasync,rename,renameat,renameat2", trace, command(kml())));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::istringstream lines(readFile(trace));
    std::string previous;
    bool renamed = false;
    for (std::string line; !renamed && std::getline(lines, line);) {
        renamed = line.find("rename") != std::string::npos && line.find(kml() + "\"") != std::string::npos;
        if (!renamed)
            previous = line;
    }
    ASSERT_TRUE(renamed) << readFile(trace);
    EXPECT_THAT(previous, HasSubstr("fsync(")) << readFile(trace);
}

} // namespace
} // namespace pelorin::test
