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

    RunResult writeGuano(std::vector<std::string> extra = {}, const std::string &offset = "30") const {
        std::vector<std::string> arguments{"--gpx",    gpx(),  "--recordings-dir", card().string(),
                                           "--offset", offset, "--write-guano"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return runPelorin(arguments);
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

TEST_F(WriteGuanoTest, ADryRunWritesNothingThenPlacedRecordingsAreWrittenOnceAndPlacedTheSame) {
    const auto before = cardBytes();
    const RunResult dry = writeGuano({"--dry-run"});
    EXPECT_EQ(dry.exitCode, 4) << dry.err;
    EXPECT_THAT(dry.out,
                HasSubstr("R1.wav: would change its guan chunk:\n    + Loc Position: 10.250000 20.500000\n"));
    EXPECT_THAT(dry.out, HasSubstr("R3_20250612_100100.wav: would add a guan chunk:"));
    EXPECT_THAT(dry.err, HasSubstr("locked.wav: refused: the file is read-only"));
    EXPECT_THAT(dry.err,
                HasSubstr("pelorin: would write positions into 3 of 5 recordings (1 not placed, 1 refused)"));
    EXPECT_EQ(cardBytes(), before);

    const std::string kmlBefore = kmlFromCard();
    const RunResult r = writeGuano();
    EXPECT_EQ(r.exitCode, 4) << r.err;
    EXPECT_THAT(r.err,
                HasSubstr("pelorin: wrote positions into 3 of 5 recordings (1 not placed, 1 refused)"));
    EXPECT_THAT(r.err, HasSubstr("broken.wav: skipped: "));

    const std::string r2 = readFile(card() / "R2.wav");
    const auto guano = r2.substr(r2.rfind("guan") + 8);
    const GuanoText text(guano);
    EXPECT_EQ(text.value("Loc Position"), "10.750000 21.500000");
    EXPECT_EQ(text.value("Loc Elevation"), "101.1");
    EXPECT_EQ(text.value("WA|Firmware"), "4.2");
    EXPECT_THAT(*text.value("PELORIN|Position"), HasSubstr("track.gpx; offset 30 s; interpolated; written "));
    EXPECT_EQ(readFile(card() / "late.wav"),
              WavWriter().fmt().guano("Timestamp: 2025-06-12T11:00:00Z\n").audio(64).bytes());
    // Read back, the files give the same start times and so the same map.
    EXPECT_EQ(kmlFromCard(), kmlBefore);

    const auto once = cardBytes();
    const RunResult again = writeGuano({"--overwrite-positions"});
    EXPECT_THAT(
        again.err,
        HasSubstr("wrote positions into 0 of 5 recordings (1 not placed, 1 refused, 3 already up to date)"));
    EXPECT_EQ(cardBytes(), once);
    EXPECT_THAT(writeGuano().err, HasSubstr("3 already up to date"));
    const RunResult kept = writeGuano({}, "31");
    EXPECT_THAT(kept.err, HasSubstr("3 kept the position they had"));
    EXPECT_EQ(cardBytes(), once);

    ::chmod((card() / "locked.wav").c_str(), 0644);
    EXPECT_EQ(writeGuano().exitCode, 0);
}

// The same three recordings as the catalogue, as a card of WAV files would hold them.
TEST_F(SurveyTest, WavFolderGivesTheSameDocumentAsTheCatalogue) {
    const auto wav = [](const std::string &guano) {
        return WavWriter().fmt().guano(guano).audio(64).bytes();
    };
    std::filesystem::create_directories(dir / "card" / "night1");
    writeFile(dir / "card" / "R3.wav", wav("Timestamp: 2025-06-12T10:01:00Z\n"));
    writeFile(dir / "card" / "night1" / "R2.wav",
              wav("Timestamp: 2025-06-12T12:00:30+02:00\nSpecies Manual ID: Ppip, Nnoc\n"));
    writeFile(dir / "card" / "R1.wav", wav("Timestamp: 2025-06-12T09:59:45Z\nSpecies Auto ID: Ppip\n"));
    writeFile(dir / "card" / "broken.wav", "RIFF");

    ASSERT_EQ(run(kml()).exitCode, 0);
    const std::string fromCard = (dir / "card.kml").string();
    const RunResult r = runPelorin({"--gpx", gpx(), "--recordings-dir", (dir / "card").string(), "--output",
                                    fromCard, "--offset", "30"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(fromCard), readFile(kml()));
    EXPECT_THAT(r.err, HasSubstr("pelorin: " + (dir / "card" / "broken.wav").string() + ": skipped: "));
    EXPECT_THAT(r.err, HasSubstr("pelorin: using 3 WAV recordings from "));
}

} // namespace
} // namespace pelorin::test
