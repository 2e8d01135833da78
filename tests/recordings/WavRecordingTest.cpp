#include "recordings/WavRecording.h"

#include "GuanoTestSupport.h"
#include "ScopedTimeZone.h"
#include "TempFolder.h"
#include "recordings/WavWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>
#include <tuple>

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
        {"x_20190501_221429.wav", WavWriter().fmt().bext("2019-O5-01", "22:14:29").bytes(), FileName,
         "20190501_221429"},
        {"x_20190501_221429.wav", WavWriter().fmt().chunk("bext", std::string(337, '2')).bytes(), FileName,
         "20190501_221429"},
        // Digits run on before the first; the second has an impossible month.
        {"120190501_221429_20191301_221429_20190501_221429.wav", WavWriter().fmt().bytes(), FileName,
         "20190501_221429"},
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

// From its bytes or from disk a block at a time (chunks that straddle a block,
// metadata larger than a block or after the audio), a file reads the same, or
// is refused the same.
TEST(WavRecording, ReadsOddChunksRf64AndLateMetadataAlikeFromDiskAndRefusesBrokenFiles) {
    const test::TempFolder folder;
    using enum StartTimeSource;
    const std::string bigGuano = kGuanoTime + "Note: " + std::string(6000, 'n') + "\nSpecies Auto ID: Nnoc\n";
    std::string cutAudio = WavWriter().fmt().audio(1000).bytes(); // a recording that ended early
    cutAudio.resize(cutAudio.size() - 400);
    const std::string full = WavWriter().fmt().guano(kGuanoTime).bytes();
    const std::string lateCut = WavWriter().fmt().audio(5000).guano(kGuanoTime).bytes();
    WavWriter junk, late;
    junk.fmt().chunk("JUNK", std::string(4050, '\0')).guano(kGuanoTime + "Species Auto ID: Ppip\n");
    late.fmt().audio(4071).bext("2019-05-01", "22:14:29").guano("Loc Position: 52.1 13.2\n");
    const std::pair<std::string, std::optional<StartTimeSource>> files[] = {
        {WavWriter().fmt().chunk("LIST", "abc").guano(kGuanoTime).bytes(), Guano},
        {WavWriter().fmt().audio(1001).guano(kGuanoTime).bytes(), Guano},
        {test::rf64(1001, kGuanoTime), Guano},
        {test::rf64(8191, kGuanoTime), Guano},
        {cutAudio, FileName},
        {junk.bytes(), Guano},
        {WavWriter().fmt().audio(9000).guano(bigGuano).bytes(), Guano},
        {late.bytes(), Bext},
        {"", std::nullopt},
        {"RIFF", std::nullopt},
        {std::string("RF64\xFF\xFF\xFF\xFFWAVEdata\xFF\xFF\xFF\xFF", 20) + "audio", std::nullopt}, // no ds64
        {WavWriter().chunk("ds64", "short").fmt().audio(10).bytes("RF64"), std::nullopt},
        {std::string("RIFF\x10\0\0\0WAVX", 12), std::nullopt},
        {full.substr(0, full.size() - 5), std::nullopt},
        {lateCut.substr(0, lateCut.size() - 10), std::nullopt},
    };
    for (std::size_t i = 0; i < std::size(files); ++i) {
        SCOPED_TRACE(i);
        const std::string name = std::to_string(i) + "_20190501_221429.wav";
        std::ofstream(folder / name, std::ios::binary) << files[i].first;
        const WavResult disk = readWavRecording(folder / name);
        const WavResult bytes = parseWavMetadata(files[i].first, name, std::nullopt);
        ASSERT_EQ(bytes.value.has_value(), files[i].second.has_value()) << bytes.error;
        ASSERT_EQ(disk.value.has_value(), bytes.value.has_value()) << disk.error;
        EXPECT_EQ(disk.error, bytes.error);
        if (bytes.value) {
            const Recording &a = disk.value->recording, &b = bytes.value->recording;
            EXPECT_EQ(b.timeSource, files[i].second);
            EXPECT_EQ(std::tie(a.timeSource, a.recordingTime, a.species),
                      std::tie(b.timeSource, b.recordingTime, b.species));
            EXPECT_EQ(disk.value->position, bytes.value->position);
        } else {
            EXPECT_NE(bytes.error, "");
        }
    }
    // No time anywhere, not even a modification time.
    EXPECT_FALSE(parseWavMetadata(WavWriter().fmt().bytes(), "plain.wav", std::nullopt).value);
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
        const std::string time = kGuanoTime + "Species Auto ID: S" + std::to_string(i) + "\n";
        std::ofstream(paths.back(), std::ios::binary)
            << (i % 7 == 3 ? std::string("RIFF") : WavWriter().fmt().audio(100 + i).guano(time).bytes());
    }
    std::vector<WavResult> results(kFiles);
    const auto take = [&](std::size_t i, WavResult &&r) { results[i] = std::move(r); };
    EXPECT_TRUE(readWavRecordings(paths, take, nullptr, nullptr, 4));
    for (std::size_t i = 0; i < kFiles; ++i) {
        if (i % 7 == 3) {
            EXPECT_FALSE(results[i].value || results[i].error.empty()) << i;
        } else {
            ASSERT_TRUE(results[i].value) << i << ": " << results[i].error;
            EXPECT_EQ(results[i].value->recording.species, std::vector{"S" + std::to_string(i)});
        }
    }

    // The workers wait in their first file until the progress has been asked.
    std::atomic<bool> asked{false};
    std::atomic<std::size_t> taken{0};
    const auto slowTake = [&](std::size_t, WavResult &&) {
        while (!asked)
            std::this_thread::yield();
        ++taken;
    };
    EXPECT_FALSE(readWavRecordings(
        paths, slowTake, nullptr, [&](std::size_t) { return !(asked = true); }, 2));
    EXPECT_LT(taken, kFiles / 2);

    EXPECT_EQ(readWavRecording(folder / "missing.wav").error, "No such file or directory");
    EXPECT_EQ(readWavRecording(folder.path).error, "not a regular file");
    const WavFolderResult none = readWavFolder(folder / "missing");
    ASSERT_EQ(none.skipped.size(), 1u);
    EXPECT_EQ(none.skipped[0], std::pair(folder / "missing", std::string("No such file or directory")));
}

} // namespace
} // namespace pelorin
