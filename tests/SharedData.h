#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace pelorin::test {

// The developers' shared folder (corpus, KML schema, validator), or "" when a
// clone has none. A folder of that name without them counts as none.
inline std::string sharedDir() {
    const std::filesystem::path dir(PELORIN_SHARED_DIR);
    std::error_code ec;
    for (const char *needed :
         {"corpus/gpx/MANIFEST.tsv", "schemas/kml22/ogckml22.xsd", "tools/validate-kml"}) {
        if (!std::filesystem::exists(dir / needed, ec))
            return {};
    }
    return dir.string();
}

} // namespace pelorin::test

// Skips the current test when ../shared is absent.
#define PELORIN_REQUIRE_SHARED()                                                                             \
    do {                                                                                                     \
        if (pelorin::test::sharedDir().empty())                                                              \
            GTEST_SKIP() << "../shared is absent (a user's clone): corpus and schema checks skipped";        \
    } while (0)
