#include "recordings/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace pelorin {
namespace {

TEST(Utf8, AcceptsWellFormedAndRefusesTheRest) {
    for (const std::string ok :
         {"", "plain", "\xC3\xBC", "\xE2\x82\xAC", "\xF0\x9F\xA6\x87", "\xEF\xBF\xBF", "\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(isValidUtf8(ok)) << ok;
    for (const std::string bad :
         {"\x80", "\xC3", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF0\x80\x80\xAF",
          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xE2\x82", "\xFF"})
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
}

} // namespace
} // namespace pelorin
