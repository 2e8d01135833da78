#include "recordings/WavRecording.h"

#include "ScopedTimeZone.h"
#include "recordings/WavWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include <unistd.h>

using namespace pelorin;
using pelorin::test::WavWriter;
using namespace std::chrono;

namespace {

class WavRecordingTest : public ::testing::Test {
protected:
    static RecordingTime utc(int y, unsigned mo, unsigned d, int h, int mi, int s) {
        return time_point_cast<milliseconds>(sys_days(year(y) / month(mo) / day(d)) + hours(h) + minutes(mi) +
                                             seconds(s));
    }

private:
    pelorin::test::ScopedTimeZone berlin_{"CET-1CEST,M3.5.0,M10.5.0/3"};
};

TEST_F(WavRecordingTest, StartTimeComesFromTheFirstSourceFound) {
    const auto mtime = utc(2020, 1, 1, 0, 0, 0);
    struct Case {
        std::string name;
        std::string bytes;
        RecordingTime expected;
        StartTimeSource source;
    } cases[] = {
        {"x_20190501_221429.wav",
         WavWriter()
             .fmt()
             .guano("Timestamp: 2019-05-01T22:14:29+02:00\n")
             .bext("2018-01-01", "00:00:00")
             .audio(10)
             .bytes(),
         utc(2019, 5, 1, 20, 14, 29), StartTimeSource::Guano},
        {"a.wav", WavWriter().fmt().guano("Timestamp: 2019-05-01T22:14:29+0200\n").audio(10).bytes(),
         utc(2019, 5, 1, 20, 14, 29), StartTimeSource::Guano},
        {"a.wav", WavWriter().fmt().guano("Timestamp: 2019-05-01T20:14:29Z\n").audio(10).bytes(),
         utc(2019, 5, 1, 20, 14, 29), StartTimeSource::Guano},
        {"a.wav", WavWriter().fmt().guano("Timestamp: 2019-05-01T22:14:29\n").audio(10).bytes(),
         utc(2019, 5, 1, 20, 14, 29), StartTimeSource::Guano}, // no zone: local (CEST)
        {"x_20190501_221429.wav", WavWriter().fmt().bext("2019-05-01", "23:00:00").audio(10).bytes(),
         utc(2019, 5, 1, 21, 0, 0), StartTimeSource::Bext},
        {"x_20190501_221429.wav", WavWriter().fmt().guano("Timestamp: garbage\n").audio(10).bytes(),
         utc(2019, 5, 1, 20, 14, 29), StartTimeSource::FileName},
        {"PREFIX_20190501_221429.WAV", WavWriter().fmt().audio(10).bytes(), utc(2019, 5, 1, 20, 14, 29),
         StartTimeSource::FileName},
        {"plain.wav", WavWriter().fmt().audio(10).bytes(), mtime, StartTimeSource::ModificationTime},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const WavResult result = parseWavMetadata(c.bytes, c.name, mtime);
        ASSERT_TRUE(result.value) << result.error;
        EXPECT_EQ(result.value->recording.recordingTime, c.expected);
        EXPECT_EQ(result.value->source, c.source);
        EXPECT_EQ(result.value->recording.filename, c.name);
    }
}

TEST_F(WavRecordingTest, SpeciesPreferManualIdsAndKeepTheirOrder) {
    const auto bytes = [](const std::string &lines) {
        return WavWriter().fmt().guano(lines).audio(4).bytes();
    };
    const auto species = [](const std::string &bytes) {
        return parseWavMetadata(bytes, "a.wav", RecordingTime{}).value->recording.species;
    };
    EXPECT_EQ(species(bytes("Species Auto ID: Nnoc\nSpecies Manual ID:  Ppip , Ppyg,\n")),
              (std::vector<std::string>{"Ppip", "Ppyg"}));
    EXPECT_EQ(species(bytes("Species Auto ID: Nnoc, Eser\r\n")), (std::vector<std::string>{"Nnoc", "Eser"}));
    EXPECT_EQ(species(bytes("Species Manual ID:\nSpecies Auto ID: Mdau\n")),
              (std::vector<std::string>{"Mdau"}));
    EXPECT_TRUE(species(bytes("Note: nothing\n")).empty());
}

TEST_F(WavRecordingTest, OddChunksRf64AndLateMetadataAreRead) {
    // An odd-sized chunk before the metadata must be skipped with its pad byte.
    const auto odd =
        WavWriter().fmt().chunk("LIST", "abc").guano("Timestamp: 2019-05-01T20:14:29Z\n").bytes();
    EXPECT_EQ(parseWavMetadata(odd, "a.wav", std::nullopt).value->source, StartTimeSource::Guano);

    // guan after the audio.
    const auto late = WavWriter().fmt().audio(1001).guano("Timestamp: 2019-05-01T20:14:29Z\n").bytes();
    EXPECT_EQ(parseWavMetadata(late, "a.wav", std::nullopt).value->source, StartTimeSource::Guano);

    // RF64: the data size lives in ds64.
    std::string ds64(28, '\0');
    ds64.replace(8, 4, WavWriter::le32(1001));
    auto rf64 = WavWriter()
                    .chunk("ds64", ds64)
                    .fmt()
                    .audio(1001)
                    .guano("Timestamp: 2019-05-01T20:14:29Z\n")
                    .bytes("RF64");
    const auto dataAt = rf64.find("data");
    rf64.replace(dataAt + 4, 4, WavWriter::le32(0xFFFFFFFFu));
    const WavResult r = parseWavMetadata(rf64, "a.wav", std::nullopt);
    ASSERT_TRUE(r.value) << r.error;
    EXPECT_EQ(r.value->source, StartTimeSource::Guano);
}

TEST_F(WavRecordingTest, BrokenFilesAreRefusedWithAReason) {
    const auto full = WavWriter().fmt().guano("Timestamp: 2019-05-01T20:14:29Z\n").bytes();
    const std::string cases[] = {
        "", "RIFF", "RIFF\x10\x00\x00\x00WAVX", full.substr(0, full.size() - 5), // guan chunk cut short
    };
    for (const auto &bytes : cases) {
        const WavResult r = parseWavMetadata(bytes, "a.wav", RecordingTime{});
        EXPECT_FALSE(r.value);
        EXPECT_FALSE(r.error.empty());
    }
    // Audio cut short is an ordinary recording that ended early.
    auto cut = WavWriter().fmt().audio(1000).bytes();
    cut.resize(cut.size() - 400);
    EXPECT_TRUE(parseWavMetadata(cut, "x_20190501_221429.wav", std::nullopt).value);
    // No time anywhere and no modification time.
    EXPECT_FALSE(parseWavMetadata(WavWriter().fmt().bytes(), "plain.wav", std::nullopt).value);
}

TEST_F(WavRecordingTest, FolderIsReadRecursivelyAndSkipsWhatItCannotRead) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("pelorin-wav-" + std::to_string(::getpid()));
    fs::create_directories(dir / "night2");
    const auto write = [](const fs::path &p, const std::string &bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    };
    write(dir / "b_20190501_221429.wav", WavWriter().fmt().audio(8).bytes());
    write(dir / "night2" / "A.WAV", WavWriter().fmt().guano("Timestamp: 2019-05-02T20:00:00Z\n").bytes());
    write(dir / "broken.wav", "RIFF");
    write(dir / "notes.txt", "not audio");

    const WavFolderResult result = readWavFolder(dir.string());
    ASSERT_EQ(result.recordings.size(), 2u);
    EXPECT_EQ(result.recordings[0].recording.filename, "b_20190501_221429.wav");
    EXPECT_EQ(result.recordings[1].recording.filename, "A.WAV");
    ASSERT_EQ(result.skipped.size(), 1u);
    EXPECT_NE(result.skipped[0].first.find("broken.wav"), std::string::npos);

    EXPECT_FALSE(readWavRecording((dir / "night2").string()).value); // a folder is not a file
    fs::remove_all(dir);
}

} // namespace
