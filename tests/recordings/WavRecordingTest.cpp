#include "recordings/WavRecording.h"

#include "GuanoTestSupport.h"
#include "ScopedTimeZone.h"
#include "TempFolder.h"
#include "recordings/WavWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

namespace pelorin {
namespace {

using namespace std::chrono;
using test::WavWriter;

const RecordingTime kMay1At2014 = sys_days{2019y / May / 1} + 20h + 14min + 29s;
const std::string kGuanoTime = "Timestamp: 2019-05-01T20:14:29Z\n";

TEST(WavRecording, StartTimeComesFromTheFirstSourceFoundAndSpeciesPreferManualIds) {
    const test::ScopedTimeZone berlin("CET-1CEST,M3.5.0,M10.5.0/3"); // local times are summer time, UTC+2
    const RecordingTime mtime = sys_days{2020y / January / 1};
    const auto guano = [](const std::string &lines) { return WavWriter().fmt().guano(lines).audio(10); };
    using enum StartTimeSource;
    const struct {
        std::string name, bytes;
        StartTimeSource source;
        std::string asGiven; // the text the time was read from
    } cases[] = {
        {"x_20190501_000000.wav",
         guano("Timestamp: 2019-05-01T22:14:29+02:00\n").bext("2018-01-01", "00:00:00").bytes(), Guano,
         "2019-05-01T22:14:29+02:00"},
        {"a.wav", guano("Timestamp: 2019-05-01T22:14:29+0200\n").bytes(), Guano, "2019-05-01T22:14:29+0200"},
        {"a.wav", guano(kGuanoTime).bytes(), Guano, "2019-05-01T20:14:29Z"},
        {"a.wav", guano("Timestamp: 2019-05-01T22:14:29\n").bytes(), Guano, "2019-05-01T22:14:29"},
        {"x_20190501_000000.wav", WavWriter().fmt().bext("2019-05-01", "22:14:29").bytes(), Bext,
         "2019-05-01 22:14:29"},
        {"x_20190501_221429.wav", guano("Timestamp: garbage\n").bytes(), FileName, "20190501_221429"},
        {"PREFIX_20190501_221429.WAV", WavWriter().fmt().audio(10).bytes(), FileName, "20190501_221429"},
        {"plain.wav", WavWriter().fmt().audio(10).bytes(), ModificationTime, "2020-01-01T01:00:00+01:00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name + " " + std::string(startTimeSourceName(c.source)));
        const WavResult result = parseWavMetadata(c.bytes, c.name, mtime);
        ASSERT_TRUE(result.value) << result.error;
        EXPECT_EQ(result.value->recording.recordingTime, c.source == ModificationTime ? mtime : kMay1At2014);
        EXPECT_EQ(result.value->recording.timeSource, c.source);
        EXPECT_EQ(result.value->recording.timeAsGiven, c.asGiven);
        EXPECT_EQ(result.value->recording.species, std::vector<std::string>{});
    }
    const std::pair<std::string, std::vector<std::string>> species[] = {
        {"Species Auto ID: Nnoc\nSpecies Manual ID:  Ppip , Ppyg,\n", {"Ppip", "Ppyg"}},
        {"Species Auto ID: Nnoc, Eser\r\n", {"Nnoc", "Eser"}},
        {"Species Manual ID:\nSpecies Auto ID: Mdau\n", {"Mdau"}},
    };
    for (const auto &[lines, expected] : species)
        EXPECT_EQ(
            parseWavMetadata(guano(kGuanoTime + lines).bytes(), "a.wav", mtime).value->recording.species,
            expected)
            << lines;
}

TEST(WavRecording, ReadsOddChunksRf64AndLateMetadataAndRefusesBrokenFiles) {
    const std::string rf64 = test::rf64(1001, kGuanoTime);
    std::string cutAudio = WavWriter().fmt().audio(1000).bytes(); // a recording that ended early
    cutAudio.resize(cutAudio.size() - 400);
    for (const std::string &bytes :
         {WavWriter().fmt().chunk("LIST", "abc").guano(kGuanoTime).bytes(),
          WavWriter().fmt().audio(1001).guano(kGuanoTime).bytes(), rf64, cutAudio}) {
        const WavResult r = parseWavMetadata(bytes, "x_20190501_221429.wav", std::nullopt);
        ASSERT_TRUE(r.value) << r.error;
        EXPECT_EQ(r.value->recording.timeSource,
                  bytes == cutAudio ? StartTimeSource::FileName : StartTimeSource::Guano);
    }

    const std::string full = WavWriter().fmt().guano(kGuanoTime).bytes();
    for (const std::string &bytes :
         {std::string(), std::string("RIFF"), std::string("RIFF\x10\0\0\0WAVX", 12),
          full.substr(0, full.size() - 5)}) {
        const WavResult r = parseWavMetadata(bytes, "a.wav", RecordingTime{});
        EXPECT_FALSE(r.value);
        EXPECT_FALSE(r.error.empty());
    }
    // No time anywhere, not even a modification time.
    EXPECT_FALSE(parseWavMetadata(WavWriter().fmt().bytes(), "plain.wav", std::nullopt).value);
}

// A file read from disk, a block at a time, reads as its bytes do: chunks that
// straddle a block, metadata larger than a block, metadata after the audio.
TEST(WavRecording, AFileOnDiskReadsAsItsBytes) {
    const test::TempFolder folder;
    const std::string bigGuano = kGuanoTime + "Note: " + std::string(6000, 'n') + "\nSpecies Auto ID: Nnoc\n";
    std::string cut = WavWriter().fmt().audio(5000).guano(kGuanoTime).bytes();
    cut.resize(cut.size() - 10);
    const std::string files[] = {
        WavWriter()
            .fmt()
            .chunk("JUNK", std::string(4050, '\0'))
            .guano(kGuanoTime + "Species Auto ID: Ppip\n")
            .bytes(),
        WavWriter().fmt().audio(9000).guano(bigGuano).bytes(),
        WavWriter()
            .fmt()
            .audio(4071)
            .bext("2019-05-01", "22:14:29")
            .guano("Loc Position: 52.1 13.2\n")
            .bytes(),
        test::rf64(8191, kGuanoTime),
        cut,
    };
    for (std::size_t i = 0; i < std::size(files); ++i) {
        SCOPED_TRACE(i);
        const std::string path = folder / ("f" + std::to_string(i) + ".wav");
        std::ofstream(path, std::ios::binary) << files[i];
        const WavResult fromDisk = readWavRecording(path);
        const WavResult fromBytes =
            parseWavMetadata(files[i], "f" + std::to_string(i) + ".wav", std::nullopt);
        ASSERT_EQ(fromDisk.value.has_value(), fromBytes.value.has_value()) << fromDisk.error;
        EXPECT_EQ(fromDisk.error, fromBytes.error);
        if (!fromBytes.value)
            continue;
        EXPECT_EQ(fromDisk.value->recording.timeSource, fromBytes.value->recording.timeSource);
        EXPECT_EQ(fromDisk.value->recording.recordingTime, fromBytes.value->recording.recordingTime);
        EXPECT_EQ(fromDisk.value->recording.species, fromBytes.value->recording.species);
        EXPECT_EQ(fromDisk.value->position, fromBytes.value->position);
    }
}

// Files read several at once come back each under its own index; a broken one
// loses none of the others; a cancel stops the reading.
TEST(WavRecording, ManyFilesReadAtOnceKeepTheirPlaces) {
    const test::TempFolder folder;
    constexpr std::size_t kFiles = 300;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < kFiles; ++i) {
        // Not "r" + std::to_string(i): GCC 12 at -O3 raises a known false -Wrestrict on it.
        paths.push_back(folder / (std::to_string(i) + ".wav"));
        const std::string time =
            "Timestamp: 2019-05-01T20:14:29Z\nSpecies Auto ID: S" + std::to_string(i) + "\n";
        std::ofstream(paths.back(), std::ios::binary)
            << (i % 7 == 3 ? std::string("RIFF") : WavWriter().fmt().audio(100 + i).guano(time).bytes());
    }
    for (const unsigned threads : {1u, 4u}) {
        SCOPED_TRACE(threads);
        std::vector<WavResult> results(kFiles);
        std::atomic<std::size_t> taken{0};
        std::size_t lastDone = 0;
        const bool finished = readWavRecordings(
            paths,
            [&](std::size_t i, WavResult &&r) {
                results[i] = std::move(r);
                ++taken;
            },
            nullptr,
            [&](std::size_t done) {
                EXPECT_GE(done, lastDone);
                lastDone = done;
                return true;
            },
            threads);
        EXPECT_TRUE(finished);
        EXPECT_EQ(taken, kFiles);
        EXPECT_EQ(lastDone, kFiles);
        for (std::size_t i = 0; i < kFiles; ++i) {
            if (i % 7 == 3) {
                EXPECT_FALSE(results[i].value) << i;
                EXPECT_FALSE(results[i].error.empty()) << i;
            } else {
                ASSERT_TRUE(results[i].value) << i << ": " << results[i].error;
                EXPECT_EQ(results[i].value->recording.species, std::vector{"S" + std::to_string(i)});
            }
        }
    }

    // The workers wait in their first file until the progress has been asked.
    std::atomic<bool> asked{false};
    std::atomic<std::size_t> taken{0};
    const bool finished = readWavRecordings(
        paths,
        [&](std::size_t, WavResult &&) {
            while (!asked)
                std::this_thread::yield();
            ++taken;
        },
        nullptr,
        [&](std::size_t) {
            asked = true;
            return false;
        },
        2);
    EXPECT_FALSE(finished);
    EXPECT_LT(taken, kFiles / 2);
}

} // namespace
} // namespace pelorin
