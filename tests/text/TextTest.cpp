#include "text/Blank.h"
#include "text/CsvField.h"
#include "text/NaturalOrder.h"
#include "text/SpeciesList.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

using namespace std::string_literals;

TEST(Text, TrimmedDropsEveryKindOfBlankAtTheEndsAndNothingElse) {
    const std::pair<std::string, std::string> cases[] = {
        {" \t\r\n\v\fa b\0"s, "a b"},
        {"\xc2\xa0\xe3\x80\x80Ppip\xe2\x80\xaf\xc2\x85", "Ppip"},   // U+00A0, U+3000 / U+202F, U+0085
        {"\xe2\x80\x8bx\xe2\x80\x8b", "\xe2\x80\x8bx\xe2\x80\x8b"}, // U+200B is no blank
        {"\xc3\xa9", "\xc3\xa9"},                                   // é ends in no blank's byte
        {"x\xa0", "x\xa0"},                                         // half a blank is no blank
        {" \xc2\xa0 ", ""},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(trimmed(text), expected) << text;
    // The reader's fast path stops where trimming would, at the first character no ASCII blank.
    const std::pair<std::string, std::string> leading[] = {
        {"                  \t\nx ", "x "}, {"        ", ""}, {" \xc2\xa0", "\xc2\xa0"}, {"x ", "x "}};
    for (const auto &[text, rest] : leading)
        EXPECT_EQ(std::string_view(skipAsciiBlanks(text.data(), text.data() + text.size())), rest) << text;
}

TEST(Text, NaturalOrderComparesDigitRunsByValue) {
    const std::pair<std::string_view, std::string_view> ordered[] = {
        {"night2.gpx", "night10.gpx"},
        {"a9b", "a10a"},
        {"log.gpx", "log1.gpx"},
        {"Z", "a"},
        {"7", "007"},
        {"99999999999999999999", "100000000000000000000"}};
    for (const auto &[before, after] : ordered) {
        EXPECT_TRUE(naturalLess(before, after)) << before << " < " << after;
        EXPECT_FALSE(naturalLess(after, before)) << after << " < " << before;
    }
    EXPECT_FALSE(naturalLess("log07.gpx", "log07.gpx"));
}

TEST(Text, CsvFieldsQuotedOnlyWhenAReaderWouldMisreadThem) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain.wav", "plain.wav"}, {"a,b", "\"a,b\""},     {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"cr\r", "\"cr\r\""},       {" lead", "\" lead\""}, {"trail\xc2\xa0", "\"trail\xc2\xa0\""},
        {"in side", "in side"},
    };
    for (const auto &[value, field] : cases) {
        std::string out = "=";
        appendCsvField(out, value);
        EXPECT_EQ(out, "=" + field) << value;
    }
}

TEST(Text, SpeciesListsSplitTrimmedAndJoined) {
    EXPECT_EQ(splitSpeciesList(" Ppip ; ;Nnoc\xc2\xa0;", ";"), (std::vector<std::string>{"Ppip", "Nnoc"}));
    EXPECT_EQ(splitSpeciesList("Ppip;Nnoc,Eser", ";,"), (std::vector<std::string>{"Ppip", "Nnoc", "Eser"}));
    EXPECT_EQ(splitSpeciesList("  ", ";"), std::vector<std::string>{});
    std::string joined;
    appendSpeciesList(joined, {"Ppip", "Nnoc", "Eser"});
    EXPECT_EQ(joined, "Ppip;Nnoc;Eser");
}

} // namespace
} // namespace pelorin
