#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace pelorin::test {

// The developers' shared folder (corpus, KML schema, validator), or "" when a
// clone has none.
inline std::string sharedDir() {
    std::error_code ec;
    return std::filesystem::is_directory(PELORIN_SHARED_DIR, ec) ? std::string(PELORIN_SHARED_DIR)
                                                                 : std::string();
}

} // namespace pelorin::test

// Skips the current test when ../shared is absent.
#define PELORIN_REQUIRE_SHARED()                                                                             \
    do {                                                                                                     \
        if (pelorin::test::sharedDir().empty())                                                              \
            GTEST_SKIP() << "../shared is absent (a user's clone): corpus and schema checks skipped";        \
    } while (0)
