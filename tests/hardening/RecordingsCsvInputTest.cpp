// A broken recordings catalogue is refused through the command, naming the file and line.
#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

namespace pelorin::test {
namespace {

class RecordingsCsvInput : public SurveyTest {};

TEST_F(RecordingsCsvInput, BrokenCataloguesAreRefusedNamingTheLine) {
    const std::string header = "filename,recording_time,species\n";
    const std::string good = header + "R1.wav,2025-06-12T10:00:00Z,Ppip\n";
    const std::vector<std::pair<std::string, int>> cases{
        {"filename,recording_time\nR1.wav,2025-06-12T10:00:00Z\n", 1}, // no species column
        {"filename,species\nR1.wav,Ppip\n", 1},                        // no time column
        {good + "R2.wav,2025-13-12T10:00:00Z,Nnoc\n", 3},              // a month 13
        {good + "\"R2.wav,2025-06-12T10:00:00Z,Nnoc\n", 3},            // an unterminated quote
        {good + "R2.wav\n", 3},                                        // a row short of two columns
    };
    for (const auto &[catalogue, line] : cases) {
        SCOPED_TRACE(catalogue);
        writeFile(csv(), catalogue);
        const RunResult r = run(kml());
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_THAT(r.err, ::testing::HasSubstr(csv() + ":" + std::to_string(line) + ":"));
        EXPECT_FALSE(std::filesystem::exists(kml()));
    }
}

} // namespace
} // namespace pelorin::test
