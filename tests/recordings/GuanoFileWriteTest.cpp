#include "recordings/GuanoFileWrite.h"
#include "recordings/GuanoText.h"

#include "GuanoTestSupport.h"
#include "SharedData.h"
#include "TempFolder.h"
#include "recordings/WavWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {
namespace {

using namespace std::string_literals;
using test::WavWriter;

// 16-bit stereo at 48 kHz, as the fmt chunk of WavWriter says.
std::string recording(const std::string &guano) {
    std::string audio;
    for (int i = 0; i < 4000; ++i)
        audio.push_back(static_cast<char>(i * 7));
    WavWriter writer;
    writer.fmt().chunk("LIST", "INFOISFT\x06\0\0\0Rec 1\0"s).chunk("data", audio);
    if (!guano.empty())
        writer.guano(guano);
    return writer.bytes();
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

bool haveProgram(const char *name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(GuanoFileWrite, WritesInPlaceAndRefusesFilesThatMustNotBeTouched) {
    test::TempFolder folder;
    const std::string good = recording("Timestamp: 2019-04-30 21:02:44+0100\n");
    save(folder / "a.wav", good);
    EXPECT_EQ(commit(folder / "a.wav"), "");
    const test::WavView view = test::viewOf(test::readFile(folder / "a.wav"));
    EXPECT_EQ(view.error, "");
    EXPECT_EQ(view.kept, test::viewOf(good).kept);
    EXPECT_EQ(GuanoText(*view.guano).value("Loc Position"), "51.123456 -1.234567");

    save(folder / "ro.wav", good);
    ::chmod((folder / "ro.wav").c_str(), 0444);
    save(folder / "short.wav", good.substr(0, 30));
    std::filesystem::create_directory(folder / "dir.wav");
    ::mkfifo((folder / "fifo.wav").c_str(), 0644);
    for (const char *name : {"ro.wav", "short.wav", "dir.wav", "fifo.wav", "missing.wav"}) {
        SCOPED_TRACE(name);
        const bool regular = std::filesystem::is_regular_file(folder / name);
        const std::string before = regular ? test::readFile(folder / name) : "";
        EXPECT_NE(commit(folder / name), "");
        if (regular) {
            EXPECT_EQ(test::readFile(folder / name), before);
        }
    }
}

TEST(GuanoFileWrite, RefusesAnImmutableFile) {
    test::TempFolder folder;
    const std::string path = folder / "i.wav";
    save(path, recording(""));
    const int fd = ::open(path.c_str(), O_RDONLY);
    int flags = 0;
    const bool pinned = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                        (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (!pinned) {
        ::close(fd);
        GTEST_SKIP() << "cannot make a file immutable here (needs CAP_LINUX_IMMUTABLE and ext4 or alike)";
    }
    const std::string error = commit(path);
    flags &= ~FS_IMMUTABLE_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    EXPECT_NE(error.find("immutable"), std::string::npos) << error;
}

TEST(GuanoFileWrite, RefusesAFileChangedBetweenReadingAndWriting) {
    test::TempFolder folder;
    const std::string path = folder / "a.wav";
    for (const bool grow : {true, false}) {
        save(path, recording(""));
        GuanoFileWrite write(path, test::positionRequest());
        ASSERT_EQ(write.plan().outcome, GuanoPlanOutcome::Write);
        if (grow) {
            std::ofstream(path, std::ios::binary | std::ios::app) << "xx";
        } else {
            const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
            ::utimensat(AT_FDCWD, path.c_str(), times, 0);
        }
        const std::string changed = test::readFile(path);
        std::string error;
        EXPECT_FALSE(write.commit(error));
        EXPECT_NE(error.find("changed"), std::string::npos);
        EXPECT_EQ(test::readFile(path), changed);
    }
}

TEST(GuanoFileWrite, ABatchCommitsEveryFileItCanAndNamesTheOthers) {
    test::TempFolder folder;
    const std::vector<std::string> names = {"a.wav", "b.wav", "changed.wav", "short.wav", "c.wav"};
    for (const std::string &name : names)
        save(folder / name, name == "short.wav" ? "RIFF" : recording(""));
    std::vector<GuanoFileWrite> writes;
    for (const std::string &name : names)
        writes.emplace_back(folder / name, test::positionRequest());
    std::ofstream(folder / "changed.wav", std::ios::binary | std::ios::app) << "xx";
    const std::vector<std::string> errors = commitGuanoWrites(writes);
    ASSERT_EQ(errors.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const bool fine = names[i].size() == 5; // a, b, c
        EXPECT_EQ(errors[i].empty(), fine) << errors[i];
        const test::WavView view = test::viewOf(test::readFile(folder / names[i]));
        EXPECT_EQ(view.guano.has_value(), fine);
    }
}

TEST(GuanoFileWrite, SoxStillPlaysTheSameSamples) {
    if (!haveProgram("sox") || !haveProgram("soxi"))
        GTEST_SKIP() << "sox is not installed (apt-get install sox)";
    test::TempFolder folder;
    save(folder / "a.wav", recording("Loc Position: 1 2\n"));
    const auto samples = [&] {
        const std::string command = "sox " + folder / "a.wav" + " -t raw " + folder / "a.raw" + " 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return test::readFile(folder / "a.raw");
    };
    const std::string before = samples();
    EXPECT_EQ(commit(folder / "a.wav"), "");
    EXPECT_EQ(std::system(("soxi " + folder / "a.wav" + " >/dev/null 2>&1").c_str()), 0);
    EXPECT_EQ(samples(), before);
    EXPECT_EQ(before.size(), 4000u);
}

TEST(GuanoFileWrite, TheReferenceReaderReadsEveryField) {
    PELORIN_REQUIRE_SHARED();
    const std::string peer = test::sharedDir() + "/peers/guano-py";
    if (!std::filesystem::exists(peer + "/guano.py") || !haveProgram("python3"))
        GTEST_SKIP() << "the reference GUANO reader or python3 is absent";
    const std::string old = "Timestamp: 2019-04-30T21:02:44+01:00\nMake: Acme\nACME|Gain: 12\nNote: a\\nb\n";
    test::TempFolder folder;
    const struct {
        std::string name, bytes;
    } files[] = {
        {"new.wav", WavWriter().fmt().audio(1000).bytes()},
        {"before.wav", WavWriter().fmt().guano(old).audio(1000).bytes()},
        {"after.wav", WavWriter().fmt().chunk("LIST", "INFOabcd").audio(1000).guano(old).bytes()},
    };
    for (const auto &file : files) {
        SCOPED_TRACE(file.name);
        save(folder / file.name, file.bytes);
        for (const char *position :
             {"1.000000 2.000000", "51.123456 -1.234567"}) // a new chunk, then a replaced one
            ASSERT_EQ(commit(folder / file.name, test::positionRequest(position)), "");
        const std::string script = folder / "read.py";
        std::ofstream(script) << "import sys\nsys.path.insert(0, sys.argv[1])\nimport guano\n"
                                 "g = guano.GuanoFile(sys.argv[2])\n"
                                 "for k in sys.argv[3:]:\n    print('%s=%s' % (k, g[k]))\n";
        const std::string out = folder / "out.txt";
        const std::string command = "python3 " + script + " " + peer + " " + folder / file.name +
                                    " 'Loc Position' 'Loc Elevation' 'Loc Accuracy' 'PELORIN|Position'" +
                                    (file.name == "new.wav" ? "" : " Make 'ACME|Gain' Note") + " >" + out +
                                    " 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << test::readFile(out);
        const std::string printed = test::readFile(out);
        for (const char *expected :
             {"Loc Position=(51.123456, -1.234567)", "Loc Elevation=81.5", "Loc Accuracy=6.2",
              "PELORIN|Position=track.gpx; offset 37 s; interpolated; written 2026-12-06T15:00:00Z"})
            EXPECT_NE(printed.find(expected), std::string::npos) << expected << "\n" << printed;
        if (file.name != "new.wav") {
            for (const char *expected : {"Make=Acme", "ACME|Gain=12", "Note=a\nb"})
                EXPECT_NE(printed.find(expected), std::string::npos) << expected << "\n" << printed;
        }
    }
}

} // namespace
} // namespace pelorin
