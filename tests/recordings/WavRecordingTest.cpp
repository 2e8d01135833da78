#include "recordings/WavRecording.h"

#include "GuanoTestSupport.h"
#include "ScopedTimeZone.h"
#include "TempFolder.h"
#include "recordings/WavWriter.h"

#include <gtest/gtest.h>

#include <fstream>
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
        // Digits run on before the first; the second has an impossible month.
        {"120190501_221429_20191301_221429_20190501_221429.wav", WavWriter().fmt().bytes(), FileName,
         "20190501_221429"},
        {"plain.wav", WavWriter().fmt().audio(10).bytes(), ModificationTime, "2020-01-01T01:00:00+01:00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name + " " + std::string(startTimeSourceName(c.source)));
        const WavResult result = parseWavMetadata(c.bytes, c.name, mtime);
        ASSERT_TRUE(result.value) << result.error;
        const Recording &r = result.value->recording;
        EXPECT_EQ(std::tie(r.recordingTime, r.timeSource, r.timeAsGiven, r.species),
                  std::tuple(c.source == ModificationTime ? mtime : kMay1At2014, c.source, c.asGiven,
                             std::vector<std::string>{}));
    }
    const std::string manualOverAuto =
        kGuanoTime + "Species Auto ID: Nnoc\nSpecies Manual ID:  Ppip , Ppyg,\n";
    EXPECT_EQ(parseWavMetadata(guano(manualOverAuto).bytes(), "a.wav", mtime).value->recording.species,
              (std::vector<std::string>{"Ppip", "Ppyg"}));
}

TEST(WavRecording, LengthFromGuanoElseTheDataOverTheByteRate) {
    const std::pair<std::string, std::optional<double>> cases[] = {
        {WavWriter().fmt().audio(48'000).bytes(), 0.5}, // 96,000 bytes a second
        {WavWriter().fmt().guano(kGuanoTime + "Length: 12.5\n").audio(45'000).bytes(), 12.5},
        {WavWriter().chunk("fmt ", std::string(16, '\0')).audio(100).bytes(), std::nullopt}, // no byte rate
    };
    for (const auto &[bytes, seconds] : cases)
        EXPECT_EQ(parseWavMetadata(bytes, "x_20190501_221429.wav", {}).value->recording.durationSeconds,
                  seconds);
}

// Cards as the recorders write them, read west of Greenwich: a time that names its zone must not move.
TEST(WavRecording, RecordersOwnChunksAndNamesGiveTheStartTimeTheyMeant) {
    const auto moth = [](const std::string &comment) { return WavWriter().fmt().audioMothList(comment); };
    const auto at = [](sys_days day, seconds time) { return RecordingTime(day + time); };
    const RecordingTime apr4 = at(2020y / April / 4, 10h + 15min + 56s),
                        aug15 = at(2022y / August / 15, 20h + 34min + 14s);
    const std::string id3Body = std::string("\0eng\0", 5) + "Recorded at 10:15:56 04/04/2020 (UTC) by x";
    WavWriter sm4, emt; // Wildlife Acoustics: wamd alone, with manual and auto IDs; GUANO over wamd
    sm4.fmt().wamd({{0x0005, " 2022-08-15 21:34:14+0100"}, {0x000B, "PIPPYG,NYCNOC"}, {0x000C, "PIPPIP"}});
    emt.fmt().wamd({{0x0005, "2022-08-15 21:34:14.250-04:00"}, {0x000B, "EPTFUS"}});
    emt.guano("Timestamp:  2022-08-15 21:34:14+0100\n");
    using enum StartTimeSource;
    const struct {
        std::string name, bytes;
        StartTimeSource source;
        RecordingTime utc;
        std::string asGiven, note;
        std::vector<std::string> species = {};
    } cases[] = {
        {"a.WAV", moth("Recorded at 00:10:00 01/01/2021 (UTC-0:30) by AudioMoth 1").bytes(), AudioMothComment,
         at(2021y / January / 1, 40min), "00:10:00 01/01/2021 (UTC-0:30)", ""},
        // The comment copied into an id3 frame.
        {"5E885E5C.WAV", WavWriter().fmt().chunk("id3 ", WavWriter::id3Tag(3, id3Body)).bytes(),
         AudioMothComment, apr4, "10:15:56 04/04/2020 (UTC)", ""},
        {"5E885E5C.WAV", WavWriter().fmt().bytes(), FileName, apr4, "5E885E5C", ""}, // hex Unix time, UTC
        {"SM4BAT_20220815_000000.wav", sm4.bytes(), Wamd, aug15, "2022-08-15 21:34:14+0100", "", {"PIPPIP"}},
        {"EMT.wav", emt.bytes(), Guano, aug15, "2022-08-15 21:34:14+0100", "", {"EPTFUS"}},
    };
    const test::ScopedTimeZone machine("America/New_York");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name + " " + c.asGiven);
        const WavResult result = parseWavMetadata(c.bytes, c.name, sys_days{2025y / January / 1});
        ASSERT_TRUE(result.value) << result.error;
        const Recording &r = result.value->recording;
        EXPECT_EQ(std::tie(r.timeSource, r.recordingTime, r.timeAsGiven, r.timeNote, result.value->warning,
                           r.species),
                  std::tie(c.source, c.utc, c.asGiven, c.note, c.note, c.species));
    }
    // The recorder's own position: GUANO's over wamd's (one EMT lost the sign in wamd), wamd's last over its
    // first.
    WavWriter both;
    both.wamd({{0x0014, "WGS84,50.7179417,1.76111,51.2"}})
        .guano(kGuanoTime + "Loc Position: 50.7179417 -1.7611083\n");
    const std::pair<std::string, std::optional<LatLon>> positions[] = {
        {both.bytes(), LatLon{50.7179417, -1.7611083}},
        {WavWriter().wamd({{0x0006, "WGS84,1,N,1,W"}, {0x0014, "WGS84,12.5,S,3.25,E,80"}}).bytes(),
         LatLon{-12.5, 3.25}},
    };
    const sys_days jan1 = sys_days{2025y / January / 1};
    for (const auto &[bytes, position] : positions)
        EXPECT_EQ(parseWavMetadata(bytes, "a.wav", jan1).value->recording.recorderPosition, position);
    // Not times: a counter's name, a comment with a zone no one writes.
    for (const auto &[name, comment] :
         {std::pair{"00000042.WAV", ""}, std::pair{"a.wav", "Recorded at 10:25:00 04/04/2020 (UTC+15) by x"}})
        EXPECT_EQ(parseWavMetadata(moth(comment).bytes(), name, jan1).value->recording.timeSource,
                  ModificationTime);
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
    WavWriter late;
    late.fmt().audio(4071).bext("2019-05-01", "22:14:29").guano("Loc Position: 52.1 13.2\n");
    const std::pair<std::string, std::optional<StartTimeSource>> files[] = {
        {WavWriter().fmt().chunk("LIST", "abc").guano(kGuanoTime).bytes(), Guano},
        {test::rf64(8191, kGuanoTime), Guano},
        {cutAudio, FileName},
        {WavWriter().fmt().audio(9000).guano(bigGuano).bytes(), Guano},
        {late.bytes(), Bext},
        {std::string("RF64\xFF\xFF\xFF\xFFWAVEdata\xFF\xFF\xFF\xFF", 20) + "audio", std::nullopt}, // no ds64
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
        if (!bytes.value)
            continue;
        const Recording &a = disk.value->recording, &b = bytes.value->recording;
        EXPECT_EQ(b.timeSource, files[i].second);
        EXPECT_EQ(std::tie(a.timeSource, a.recordingTime, a.species, disk.value->position),
                  std::tie(b.timeSource, b.recordingTime, b.species, bytes.value->position));
    }
    // No time anywhere, not even a modification time.
    EXPECT_FALSE(parseWavMetadata(WavWriter().fmt().bytes(), "plain.wav", std::nullopt).value);
    const WavFolderResult none = readWavFolder(folder / "missing");
    ASSERT_EQ(none.skipped.size(), 1u);
    EXPECT_EQ(none.skipped[0], std::pair(folder / "missing", std::string("No such file or directory")));
}

} // namespace
} // namespace pelorin
