#include "cli/SurveyFixture.h"
#include "recordings/GuanoText.h"
#include "recordings/WavWriter.h"

#include <gmock/gmock.h>

#include <sys/stat.h>

namespace pelorin::test {
namespace {

using ::testing::HasSubstr;

class WriteGuanoTest : public SurveyTest {
protected:
    void SetUp() override {
        SurveyTest::SetUp();
        std::filesystem::create_directories(card());
        const auto wav = [](const std::string &guano) {
            return WavWriter().fmt().guano(guano).audio(64).bytes();
        };
        writeFile(card() / "R1.wav", wav("Timestamp: 2025-06-12T09:59:45Z\nSpecies Auto ID: Ppip\n"));
        writeFile(card() / "R2.wav", wav("Timestamp: 2025-06-12 12:00:15+0200\nWA|Firmware: 4.2\n"));
        writeFile(card() / "R3_20250612_100100.wav", WavWriter().fmt().audio(63).bytes());
        writeFile(card() / "late.wav", wav("Timestamp: 2025-06-12T11:00:00Z\n"));
        writeFile(card() / "locked.wav", wav("Timestamp: 2025-06-12T10:00:00Z\n"));
        ::chmod((card() / "locked.wav").c_str(), 0444);
        writeFile(card() / "broken.wav", "RIFF");
    }

    std::filesystem::path card() const { return dir / "card"; }

    GuanoText guanoOf(const char *name) const {
        const std::string bytes = readFile(card() / name);
        return GuanoText(bytes.substr(bytes.rfind("guan") + 8));
    }

    RunResult writeGuano(const std::vector<std::string> &extra = {}, const std::string &offset = "30") const {
        return runPelorin(
            concat({"--gpx", gpx(), "--recordings-dir", card().string(), "--offset", offset, "--write-guano"},
                   extra));
    }

    std::map<std::string, std::string> cardBytes() const {
        std::map<std::string, std::string> bytes;
        for (const auto &entry : std::filesystem::directory_iterator(card()))
            bytes[entry.path().filename().string()] = readFile(entry.path());
        return bytes;
    }

    std::string kmlFromCard() const {
        const std::string out = (dir / "card.kml").string();
        runPelorin({"--gpx", gpx(), "--recordings-dir", card().string(), "--offset", "30", "--output", out});
        return readFile(out);
    }
};

// Runs one after the other on the same card, each row one behaviour; each
// refuses locked.wav (exit 4) until it may be written.
TEST_F(WriteGuanoTest, EachRunWritesWhatItSaysAndNoMore) {
    const std::string kmlBefore = kmlFromCard();
    const struct {
        const char *behaviour;
        bool writes;
        std::vector<std::string> said, extra = {}; // said: on standard output or error
        const char *offset = "30";
    } runs[] = {
        {"a dry run only says what it would do",
         false,
         {"R1.wav: would change its guan chunk:\n    + Loc Position: 10.250000 20.500000\n",
          "R3_20250612_100100.wav: would add a guan chunk:", "locked.wav: refused: the file is read-only",
          "pelorin: would write positions into 3 of 5 recordings (1 not placed, 1 refused)"},
         {"--dry-run"}},
        {"the placed recordings are written",
         true,
         {"pelorin: wrote positions into 3 of 5 recordings (1 not placed, 1 refused)",
          "broken.wav: skipped: "}},
        {"written again, they are up to date",
         false,
         {"wrote positions into 0 of 5 recordings (1 not placed, 1 refused, 3 already up to date)"},
         {"--overwrite-positions"}},
        {"another offset keeps the positions they have", false, {"3 kept the position they had"}, {}, "31"},
    };
    for (const auto &run : runs) {
        SCOPED_TRACE(run.behaviour);
        const auto before = cardBytes();
        const RunResult r = writeGuano(run.extra, run.offset);
        EXPECT_EQ(r.exitCode, 4) << r.err;
        expectHas(r.out + r.err, run.said);
        EXPECT_EQ(cardBytes() != before, run.writes);
    }
    // Read back, the files give the same start times and so the same map.
    EXPECT_EQ(kmlFromCard(), kmlBefore);
    ::chmod((card() / "locked.wav").c_str(), 0644);
    EXPECT_EQ(writeGuano().exitCode, 0);
}

// What the write left in each file. R1 and R2 are 15 s from a fix, R3 30 s;
// the fixes are 245,311.6 and 244,651.5 m apart, a minute apart:
// accuracy = 5 + seconds × (distance / 60 + 0.5).
TEST_F(WriteGuanoTest, WrittenFieldsReadBack) {
    ASSERT_EQ(writeGuano().exitCode, 4);
    const std::tuple<const char *, const char *, std::optional<std::string>> fields[] = {
        {"R1.wav", "Loc Position", "10.250000 20.500000"},
        {"R1.wav", "Loc Accuracy", "61340.4"},
        {"R2.wav", "WA|Firmware", "4.2"}, // the recorder's own lines kept
        {"R3_20250612_100100.wav", "Loc Accuracy", "122345.8"},
        {"R3_20250612_100100.wav", "Timestamp", "2025-06-12T10:01:00+00:00"}, // the file name read in TZ=UTC
    };
    for (const auto &[file, key, value] : fields)
        EXPECT_EQ(guanoOf(file).value(key), value) << file << ": " << key;
    EXPECT_THAT(*guanoOf("R2.wav").value("PELORIN|Position"),
                HasSubstr("track.gpx; offset 30 s; interpolated; written "));
    EXPECT_EQ(readFile(card() / "late.wav"),
              WavWriter().fmt().guano("Timestamp: 2025-06-12T11:00:00Z\n").audio(64).bytes());
}

} // namespace
} // namespace pelorin::test
