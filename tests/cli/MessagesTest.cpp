#include "cli/Messages.h"

#include <gtest/gtest.h>

#include <sstream>

namespace pelorin::cli {
namespace {

TEST(Messages, OneLineNamingFileLineAndColumnOnce) {
    const struct {
        Place place;
        const char *message;
        const char *said;
    } cases[] = {
        {{"a.csv", 0, 7}, "no header row", "pelorin: a.csv: no header row\n"}, // a column needs a line
        {{"a.csv"}, "\"a.csv\": no such file", "pelorin: a.csv: no such file\n"},
        {{"out.kml"}, "Couldn't write out.kml: disk full", "pelorin: Couldn't write out.kml: disk full\n"},
        {{"odd\nname.csv", 2}, "two\nlines", "pelorin: odd name.csv:2: two lines\n"},
        {{}, "read 4 points", "pelorin: read 4 points\n"},
    };
    for (const auto &c : cases) {
        std::ostringstream err;
        say(err, c.place, c.message);
        EXPECT_EQ(err.str(), c.said);
    }
}

} // namespace
} // namespace pelorin::cli
