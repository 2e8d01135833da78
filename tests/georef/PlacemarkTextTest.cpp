#include "georef/PlacemarkText.h"

#include "ScopedTimeZone.h"
#include "TrackFixtures.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

using namespace std::chrono_literals;

TEST(PlacemarkText, NamesBySpeciesAndDescribesByFileAndLocalTime) {
    EXPECT_EQ(placemarkName({}), "No species");
    EXPECT_EQ(placemarkName({"Ppip", ""}), "Ppip,"); // a species without an abbreviation
    EXPECT_EQ(placemarkName({"Eser", "Mdau"}), "Eser,Mdau");

    test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const struct {
        std::chrono::milliseconds sinceStart;
        const char *filename;
        const char *description;
    } cases[] = {
        {0ms, "a.b.wav", "File a.b\nTime 12:00:00"}, // the last extension only
        {-24h * 140, "night/.take",
         "File night/.take\nTime 11:00:00"},       // winter time; a leading dot is no extension
        {-1ms, "dot.", "File dot\nTime 11:59:59"}, // whole seconds, rounded down
    };
    for (const auto &c : cases)
        EXPECT_EQ(placemarkDescription({test::kStart + c.sinceStart, c.filename, {}}), c.description)
            << c.filename;
}

} // namespace
} // namespace pelorin
