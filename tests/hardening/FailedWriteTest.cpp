// Writes that fail: exit 3, the destination byte for byte as it was, and no temporary file left beside it;
// one that succeeds is flushed before it replaces anything. Never aimed at a device: as root, a rename over
// one would replace the device node.
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

// $1 the output folder, $2 and $3 where its snapshots (every name and type, every file's bytes) before and
// after the command go, then the command.
std::string harness(const std::string &setup) {
    return "set -e; out=$1 before=$2 after=$3; shift 3\n"
           "snapshot() { find \"$out\" -printf '%y %P\\n' | sort; find \"$out\" -type f -exec cat {} +; }\n" +
           setup +
           "\nsnapshot > \"$before\"\n"
           "status=0; \"$@\" || status=$?\n"
           "snapshot > \"$after\"; exit $status\n";
}

// Each case sets its output folder up in a shell; one that mounts does so in a private mount namespace (as
// root inside a user namespace when not root outside) and is skipped where that is not permitted.
TEST_F(FailedWrite, DestinationIsLeftAsItWasWithNoTemporaryFile) {
    // Folders, FIFOs and links as destinations are the atomic write's own tests.
    const std::pair<const char *, std::string> cases[] = {
        {"missing/track.kml", ""},
        {"track.kml",
         "mount -t tmpfs -o size=4k tmpfs \"$out\" || exit 77; echo earlier > \"$out/track.kml\""},
    };
    const std::vector<std::string> unshare{"unshare", geteuid() == 0 ? "-m" : "-rm"};
    const bool mayUnshare = runProgram(concat(unshare, {"true"})).exitCode == 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto &[name, setup] = cases[i];
        SCOPED_TRACE(name);
        const fs::path folder = dir / std::to_string(i);
        fs::create_directories(folder / "out");
        const std::string destination = (folder / "out" / name).string();
        const RunResult r =
            runProgram(concat(concat(setup.empty() ? std::vector<std::string>{} : unshare,
                                     {"sh", "-c", harness(setup), "sh", (folder / "out").string(),
                                      (folder / "before").string(), (folder / "after").string()}),
                              command(destination)));
        if (!setup.empty() && (!mayUnshare || r.exitCode == kCannotMount))
            GTEST_SKIP() << "may not mount here, so not run: a full file system";
        EXPECT_EQ(r.exitCode, 3) << r.err;
        EXPECT_THAT(r.err, HasSubstr(destination));
        EXPECT_EQ(readFile(folder / "after"), readFile(folder / "before"));
    }
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
    const std::string calls = readFile(trace);
    const std::size_t rename = calls.rfind('\n', calls.find(kml() + "\"")); // where the rename's line starts
    ASSERT_NE(calls.find(kml() + "\""), std::string::npos) << calls;
    ASSERT_NE(rename, std::string::npos) << calls;
    const std::size_t previous = calls.rfind('\n', rename - 1) + 1; // 0 when it is the first line
    EXPECT_THAT(calls.substr(previous, rename - previous), HasSubstr("fsync(")) << calls;
}

} // namespace
} // namespace pelorin::test
