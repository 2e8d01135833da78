// Writes that fail: exit 3, the destination byte for byte as it was, and no
// temporary file left beside it. Where a failure needs a mount (a read-only or
// full file system, a destination that is a mount point), the test makes one in
// a private mount namespace, or skips where it may not. An output that would
// overwrite an input is refused before anything is written.
#include "ChildProcess.h"
#include "ScratchDir.h"
#include "Survey.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;

constexpr int kWriteFailed = 3;
constexpr int kCannotMount = 77; // the namespace script's answer when mounting is not permitted
const std::string kOldDocument = "<kml>the surveyor's earlier export</kml>\n";

class FailedWrite : public ::testing::Test {
protected:
    void SetUp() override {
        gpx_ = scratch_.write("in/track.gpx", gpxDocument(kTwoTrackPoints));
        csv_ = scratch_.write("in/recordings.csv", kOneRecordingCsv);
        fs::create_directory(outDir());
    }

    std::string outDir() const { return scratch_ / "out"; }

    std::vector<std::string> exportArgs(const std::string &output) const {
        return {PELORIN_EXE, "--gpx", gpx_, "--recordings", csv_, "--output", output};
    }

    void expectRefused(const ProcessResult &run) const { EXPECT_TRUE(run.exited(kWriteFailed)) << run; }

    // Runs script under `sh -c` in a new mount namespace, with args as $1...;
    // skips the test where no namespace or mount is permitted.
    ProcessResult inMountNamespace(const std::string &script, const std::vector<std::string> &args) {
        std::vector<std::string> unshare = {"unshare", "-m"};
        if (geteuid() != 0)
            unshare = {"unshare", "-r", "-m"}; // a user namespace makes us root inside it
        std::vector<std::string> probe = unshare;
        probe.push_back("true");
        if (const ProcessResult run = runProcess(probe); !run.exited(0)) {
            skipped_ = true;
            return run;
        }
        std::vector<std::string> argv = unshare;
        argv.insert(argv.end(), {"sh", "-c", script, "sh"});
        argv.insert(argv.end(), args.begin(), args.end());
        ProcessResult run = runProcess(argv);
        skipped_ = run.exited(kCannotMount);
        return run;
    }

    ScratchDir scratch_;
    std::string gpx_;
    std::string csv_;
    bool skipped_ = false;
};

TEST_F(FailedWrite, DestinationInAMissingFolder) {
    PELORIN_REQUIRE_CLI();
    const ProcessResult run = runProcess(exportArgs(outDir() + "/missing/track.kml"));
    expectRefused(run);
    EXPECT_FALSE(fs::exists(outDir() + "/missing"));
    EXPECT_TRUE(listing(outDir()).empty());
}

TEST_F(FailedWrite, DestinationThatIsAFolder) {
    PELORIN_REQUIRE_CLI();
    const std::string folder = outDir() + "/track.kml";
    scratch_.write("out/track.kml/inside.txt", kOldDocument);
    const ProcessResult run = runProcess(exportArgs(folder));
    expectRefused(run);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(listing(outDir()), std::vector<std::string>{"track.kml"});
    EXPECT_EQ(listing(folder), std::vector<std::string>{"inside.txt"});
    EXPECT_EQ(readBytes(folder + "/inside.txt"), kOldDocument);
}

TEST_F(FailedWrite, DestinationThatIsAFifo) {
    PELORIN_REQUIRE_CLI();
    const std::string fifo = outDir() + "/track.kml";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ProcessLimits limits;
    limits.guard = std::chrono::seconds(30); // opening a FIFO to write blocks until a reader comes
    const ProcessResult run = runProcess(exportArgs(fifo), limits);
    expectRefused(run);
    struct stat status {};
    ASSERT_EQ(lstat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode)) << "the FIFO was replaced";
    EXPECT_EQ(listing(outDir()), std::vector<std::string>{"track.kml"});
}

TEST_F(FailedWrite, DestinationLinkingToNoRegularFile) {
    PELORIN_REQUIRE_CLI();
    // The write goes through links to what they name: a FIFO behind one is refused like a FIFO.
    const std::string fifo = outDir() + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("pipe", outDir() + "/to-pipe.kml");
    fs::create_symlink("loop-b.kml", outDir() + "/loop-a.kml");
    fs::create_symlink("loop-a.kml", outDir() + "/loop-b.kml");
    const auto before = listing(outDir());
    ProcessLimits limits;
    limits.guard = std::chrono::seconds(30);
    for (const char *name : {"to-pipe.kml", "loop-a.kml"}) {
        SCOPED_TRACE(name);
        expectRefused(runProcess(exportArgs(outDir() + "/" + name), limits));
        EXPECT_EQ(listing(outDir()), before);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(outDir() + "/to-pipe.kml"));
}

TEST_F(FailedWrite, DestinationInAReadOnlyFolder) {
    PELORIN_REQUIRE_CLI();
    const std::string destination = scratch_.write("out/track.kml", kOldDocument);
    // A read-only bind of the folder onto itself: as root, permission bits alone would not stop the write.
    const std::string script = "mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" || exit 77\n"
                               "shift\n"
                               "exec \"$@\"\n";
    std::vector<std::string> args = {outDir()};
    for (const std::string &arg : exportArgs(destination))
        args.push_back(arg);
    const ProcessResult run = inMountNamespace(script, args);
    if (skipped_)
        GTEST_SKIP() << "may not mount here: " << run;
    expectRefused(run);
    EXPECT_EQ(readBytes(destination), kOldDocument);
    EXPECT_EQ(listing(outDir()), std::vector<std::string>{"track.kml"});
}

TEST_F(FailedWrite, DestinationOnAFullFileSystem) {
    PELORIN_REQUIRE_CLI();
    // Five thousand points make a document of some 150 KB; the file system holds 64 KiB.
    std::string points;
    for (int i = 0; i < 5000; ++i)
        points += "<trkpt lat=\"48." + std::to_string(100000 + i) +
                  "\" lon=\"11.575000\"><time>2009-05-01T10:" + (i < 2500 ? "00" : "10") +
                  ":00Z</time></trkpt>\n";
    gpx_ = scratch_.write("in/track.gpx", gpxDocument(points));
    // The tmpfs lives only in the namespace: what it holds afterwards is copied out for the checks.
    const std::string script = "full=$1 evidence=$2\n"
                               "mount -t tmpfs -o size=64k tmpfs \"$full\" || exit 77\n"
                               "printf %s \"$3\" > \"$full/track.kml\" || exit 77\n"
                               "shift 3\n"
                               "\"$@\"\n"
                               "status=$?\n"
                               "cat \"$full/track.kml\" > \"$evidence/after\"\n"
                               "ls -A \"$full\" > \"$evidence/listing\"\n"
                               "exit $status\n";
    const std::string full = outDir();
    const std::string evidence = scratch_ / "evidence";
    fs::create_directory(evidence);
    std::vector<std::string> args = {full, evidence, kOldDocument};
    for (const std::string &arg : exportArgs(full + "/track.kml"))
        args.push_back(arg);
    const ProcessResult run = inMountNamespace(script, args);
    if (skipped_)
        GTEST_SKIP() << "may not mount here: " << run;
    expectRefused(run);
    EXPECT_EQ(readBytes(evidence + "/after"), kOldDocument);
    EXPECT_EQ(readBytes(evidence + "/listing"), "track.kml\n");
}

TEST_F(FailedWrite, RenameOverTheDestinationFails) {
    PELORIN_REQUIRE_CLI();
    // A file bind-mounted onto the destination: a regular file that every
    // check passes, but that no rename may replace (EBUSY).
    const std::string destination = scratch_.write("out/track.kml", "underneath\n");
    const std::string mounted = scratch_.write("mounted.kml", kOldDocument);
    const std::string script = "mount --bind \"$1\" \"$2\" || exit 77\n"
                               "shift 2\n"
                               "exec \"$@\"\n";
    std::vector<std::string> args = {mounted, destination};
    for (const std::string &arg : exportArgs(destination))
        args.push_back(arg);
    const ProcessResult run = inMountNamespace(script, args);
    if (skipped_)
        GTEST_SKIP() << "may not mount here: " << run;
    expectRefused(run);
    EXPECT_EQ(readBytes(mounted), kOldDocument);
    EXPECT_EQ(readBytes(destination), "underneath\n");
    EXPECT_EQ(listing(outDir()), std::vector<std::string>{"track.kml"});
}

TEST_F(FailedWrite, OutputThatIsAnInputIsRefused) {
    PELORIN_REQUIRE_CLI();
    for (const std::string &input : {gpx_, csv_}) {
        SCOPED_TRACE(input);
        const std::string original = readBytes(input);
        const ProcessResult run = runProcess(exportArgs(input));
        EXPECT_TRUE(run.exited(2)) << run;
        EXPECT_EQ(readBytes(input), original);
    }
    EXPECT_EQ(listing(scratch_ / "in"), (std::vector<std::string>{"recordings.csv", "track.gpx"}));
}

} // namespace
} // namespace pelorin::test
