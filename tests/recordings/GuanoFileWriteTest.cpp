#include "recordings/GuanoFileWrite.h"
#include "recordings/GuanoText.h"

#include "GuanoTestSupport.h"
#include "SharedData.h"
#include "TempFolder.h"
#include "recordings/WavWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>

namespace pelorin {
namespace {

using namespace std::string_literals;
using test::WavWriter;

std::string recording(const std::string &guano) {
    return WavWriter().fmt().chunk("LIST", "INFOISFT\x06\0\0\0Rec 1\0"s).audio(4000).guano(guano).bytes();
}

void save(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string commit(const std::string &path, const GuanoWriteRequest &request = test::positionRequest()) {
    GuanoFileWrite write(path, request);
    std::string error;
    if (write.plan().outcome == GuanoPlanOutcome::Refused)
        return write.plan().error;
    return write.commit(error) ? "" : error;
}

// Files that must not be touched, or that grew or were touched between planning and writing, are refused and
// keep their bytes; a batch writes every other file in place, flushing each file system once per step.
TEST(GuanoFileWrite, ABatchWritesInPlaceAndRefusesFilesThatMustNotBeTouchedOrChangedSincePlanning) {
    test::TempFolder folder;
    const std::string good = recording("Timestamp: 2019-04-30 21:02:44+0100\n");
    const std::vector<std::string> names = {"a.wav",       "ro.wav",   "grown.wav",
                                            "touched.wav", "fifo.wav", "c.wav"};
    for (const char *name : {"a.wav", "ro.wav", "grown.wav", "touched.wav", "c.wav"})
        save(folder / name, good);
    ::chmod((folder / "ro.wav").c_str(), 0444);
    ::mkfifo((folder / "fifo.wav").c_str(), 0644);
    // a.wav stands on a second mount (device 9), the rest on the card (device 7).
    const GuanoFileWrite::DeviceOf card = [](const FileStatus &) -> std::uint64_t { return 7; };
    const GuanoFileWrite::DeviceOf mount = [](const FileStatus &) -> std::uint64_t { return 9; };
    std::vector<GuanoFileWrite> writes;
    for (const std::string &name : names) // as the command and the plug-in batch them
        writes.emplace_back(folder / name, test::positionRequest(), name == "a.wav" ? mount : card);
    std::ofstream(folder / "grown.wav", std::ios::binary | std::ios::app) << "xx";
    const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
    ::utimensat(AT_FDCWD, (folder / "touched.wav").c_str(), times, 0);
    const auto bytesOf = [&](const std::string &name) {
        return std::filesystem::is_regular_file(folder / name) ? test::readFile(folder / name) : "";
    };
    const std::string grown = bytesOf("grown.wav");
    std::vector<std::uint64_t> flushed;
    const std::vector<std::string> errors =
        commitGuanoWrites(writes, [&](GuanoFileWrite &write, std::string &error) {
            flushed.push_back(write.device());
            return write.flushFileSystem(error);
        });
    // Three steps (the chunk appended, the RIFF grown, the old one retired), each
    // flushed once per device in the order of the devices' first files.
    EXPECT_EQ(flushed, (std::vector<std::uint64_t>{9, 7, 9, 7, 9, 7}));
    ASSERT_EQ(errors.size(), names.size());
    EXPECT_EQ(bytesOf("grown.wav"), grown);
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const bool fine = names[i].size() == 5, changed = i == 2 || i == 3; // a, c; grown, touched
        EXPECT_EQ(errors[i].empty(), fine) << errors[i];
        EXPECT_EQ(errors[i].find("changed") != std::string::npos, changed) << errors[i];
        const std::string bytes = bytesOf(names[i]);
        EXPECT_EQ(bytes == good, !fine && names[i] != "fifo.wav" && names[i] != "grown.wav");
        if (!fine)
            continue;
        const test::WavView view = test::viewOf(bytes);
        EXPECT_EQ(view.error, "");
        EXPECT_EQ(view.kept, test::viewOf(good).kept); // the audio byte for byte
        EXPECT_EQ(GuanoText(*view.guano).value("Loc Position"), "51.123456 -1.234567");
    }
}

// A real audio tool still reads the same samples after the write.
TEST(GuanoFileWrite, SoxStillPlaysTheSameSamples) {
    if (std::system("command -v sox >/dev/null 2>&1 && command -v soxi >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sox is not installed (apt-get install sox)";
    test::TempFolder folder;
    save(folder / "a.wav", recording("Loc Position: 1 2\n"));
    const std::string sox = "sox " + folder / "a.wav" + " -t raw " + folder / "a.raw" + " 2>&1";
    const auto samples = [&] {
        return std::system(sox.c_str()) == 0 ? test::readFile(folder / "a.raw") : "";
    };
    const std::string before = samples();
    EXPECT_EQ(commit(folder / "a.wav"), "");
    EXPECT_EQ(samples(), before);
    EXPECT_EQ(before.size(), 4000u);
}

TEST(GuanoFileWrite, TheReferenceReaderReadsEveryField) {
    PELORIN_REQUIRE_SHARED();
    const std::string peer = test::sharedDir() + "/peers/guano-py";
    if (!std::filesystem::exists(peer + "/guano.py") ||
        std::system("command -v python3 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "the reference GUANO reader or python3 is absent";
    test::TempFolder folder;
    const std::string script = folder / "read.py", out = folder / "out.txt", wav = folder / "a.wav";
    std::ofstream(script) << "import sys\nsys.path.insert(0, sys.argv[1])\nimport guano\n"
                             "g = guano.GuanoFile(sys.argv[2])\n"
                             "for k in sys.argv[3:]:\n    print('%s=%s' % (k, g[k]))\n";
    // The recorder's chunk ahead of the audio; ours, written twice, after it and the first one retired.
    const std::string lines =
        "Timestamp: 2019-04-30T21:02:44+01:00\nMake: Acme\nACME|Gain: 12\nNote: a\\nb\n";
    save(wav, WavWriter().fmt().guano(lines).audio(1000).bytes());
    for (const char *position : {"1.000000 2.000000", "51.123456 -1.234567"})
        ASSERT_EQ(commit(wav, test::positionRequest(position)), "");
    const std::string command = "python3 " + script + " " + peer + " " + wav +
                                " 'Loc Position' 'Loc Elevation' 'Loc Accuracy' 'PELORIN|Position' Make "
                                "'ACME|Gain' Note >" +
                                out + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << test::readFile(out);
    EXPECT_EQ(test::readFile(out),
              "Loc Position=(51.123456, -1.234567)\nLoc Elevation=81.5\nLoc Accuracy=6.2\n"
              "PELORIN|Position=track.gpx; offset 37 s; interpolated; written 2026-12-06T15:00:00Z\n"
              "Make=Acme\nACME|Gain=12\nNote=a\nb\n");
}

} // namespace
} // namespace pelorin
