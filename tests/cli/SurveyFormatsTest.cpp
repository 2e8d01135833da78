#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

#include <cstdint>
#include <filesystem>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSample = fs::path(PELORIN_SOURCE_DIR) / "resources/data/sample-survey";

RunResult runOnSample(const std::string &output, const std::vector<std::string> &extra) {
    return runPelorin(concat({"--gpx", (kSample / "track.gpx").string(), "--recordings",
                              (kSample / "recordings.csv").string(), "--output", output},
                             extra));
}

std::uint64_t fnv1a(const std::string &bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// Files and readers rely on the default document: its bytes for the sample
// survey are those the command wrote before there were other styles.
TEST(SampleSurveyFormats, TheDefaultDocumentKeepsEveryByte) {
    setenv("TZ", "UTC", 1);
    TempDir dir;
    for (const auto &[extra, size, hash] :
         std::vector<std::tuple<std::vector<std::string>, std::size_t, std::uint64_t>>{
             {{"--offset", "37"}, 85985, 0x92a47e3fd3133a38ull},
             {{"--offset", "37", "--elevation", "--tessellate", "--name", "Elbe"},
              96907,
              0x77e6fd0d3ee1be9cull}}) {
        const std::string kml = (dir / "plain.kml").string();
        const RunResult r = runOnSample(kml, extra);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::string bytes = readFile(kml);
        EXPECT_EQ(bytes.size(), size);
        EXPECT_EQ(fnv1a(bytes), hash);
    }
}

} // namespace
} // namespace pelorin::test
