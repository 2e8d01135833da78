#include "cli/SurveyFixture.h"
#include "recordings/WavWriter.h"

#include <gmock/gmock.h>

namespace pelorin::test {
namespace {

using ::testing::HasSubstr;

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
