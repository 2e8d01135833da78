#include "documents/SurveyText.h"
#include "documents/JsonText.h"
#include "documents/SpeciesPalette.h"

#include "ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace pelorin {
namespace {

using namespace std::chrono_literals;

TEST(JsonText, EscapesWhatJsonCannotCarryAndDropsWhatIsNotUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\"b\\c/d", "\"a\\\"b\\\\c/d\""},
        {"\n\r\t", "\"\\n\\r\\t\""},
        {std::string("nul\0\x1f\x7f", 6), "\"nul\\u0000\\u001f\x7f\""},
        {"bad\xff\x80\xc0\xaf\xed\xa0\x80\xc3", "\"bad\""},
    };
    for (const auto &[text, json] : cases) {
        std::string out = "=";
        appendJsonString(out, text);
        EXPECT_EQ(out, "=" + json) << text;
    }
}

TEST(SpeciesPalette, ASpeciesKeepsItsColourAndUpToSevenNeverShareOne) {
    const auto colourIn = [](std::vector<std::string> species, const std::string &of) {
        const SpeciesColours colours(std::vector<Recording>{{{}, "r.wav", std::move(species)}});
        return colours.colour(colours.indexOf(of));
    };
    // Alone or beside another species, Ppip keeps its own colour.
    const std::uint32_t own = 0xE69F00; // FNV-1a of "Ppip" is 0x21344474, slot 0 of 7
    EXPECT_EQ(colourIn({"Ppip"}, "Ppip"), own);
    EXPECT_EQ(colourIn({"Ppip", "Zzzz"}, "Ppip"), own);

    const SpeciesColours colours(
        std::vector<Recording>{{{}, "r.wav", {"Bbar", "Eser", "Mdau", "Mnat", "Nnoc", "Pnat", "Ppip"}}});
    std::set<std::uint32_t> distinct;
    for (std::size_t i = 0; i < colours.names().size(); ++i)
        distinct.insert(colours.colour(i));
    EXPECT_EQ(distinct.size(), 7u);
    // The no-species colour and the two ways of writing one: MapWindowTest reads them from the documents.
}

TEST(SurveyText, TimesAndElevationsAsEveryFormatWritesThem) {
    const RecordingTime summer(std::chrono::sys_days{std::chrono::year{2025} / 6 / 12} + 19h + 42min + 36s);
    test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    std::string out;
    UtcOffsets fresh;
    appendUtcText(out, summer);
    appendUtcText(out += ' ', summer + 5ms);
    appendLocalText(out += ' ', summer, fresh);
    appendLocalText(out += ' ', summer - std::chrono::days(180), fresh);
    EXPECT_EQ(
        out,
        "2025-06-12T19:42:36Z 2025-06-12T19:42:36.005Z 2025-06-12T21:42:36+02:00 2024-12-14T20:42:36+01:00");

    // One remembered offset across the spring change: each side keeps its own.
    UtcOffsets offsets;
    const RecordingTime change(std::chrono::sys_days{std::chrono::year{2025} / 3 / 30} + 1h);
    std::string across;
    for (const auto at : {change - 10min, change - 1s, change, change + 5min, change - 2s})
        appendLocalText(across.append(" "), at, offsets);
    EXPECT_EQ(across, " 2025-03-30T01:50:00+01:00 2025-03-30T01:59:59+01:00 2025-03-30T03:00:00+02:00"
                      " 2025-03-30T03:05:00+02:00 2025-03-30T01:59:58+01:00");

    // Log elevations as numbers every format reads: copied when already plain, else read and printed.
    const std::pair<std::string, std::string> elevations[] = {
        {"0.50", "0.50"}, {"+5", "5"}, {"1e2", "100"}, {".5", "0.5"}, {"", "-"}, {"5<", "-"}, {"nan", "-"}};
    for (const auto &[text, written] : elevations) {
        std::string out;
        EXPECT_EQ(appendElevation(out, text), written != "-") << text;
        EXPECT_EQ(out.empty() ? "-" : out, written) << text;
    }
}

} // namespace
} // namespace pelorin
