#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

namespace pelorin::test {
namespace {

using ::testing::AnyOf;
using ::testing::HasSubstr;

// A season of 60 nights from 2025-05-01. Times are seconds from 2025-05-01T00:00:00Z. Each night is one
// straight walk at constant speed from 20:00, logged every 5 s until the logger restarts at 20:40 and again
// from 20:45 to 21:40. The recorder's clock loses 2 s a day: at the recorder time r it is
// 30 + (r - 19:00 on the first night) / 43200 s behind the GPS.
constexpr int kNights = 60;
constexpr int kPerNight = 100;
constexpr double kDay = 86400, kWalkStart = 20 * 3600, kRestartFrom = kWalkStart + 2400,
                 kRestartTo = kWalkStart + 2700, kWalkEnd = kWalkStart + 6000, kFirstSync = 19 * 3600;

double trueOffset(double recorderTime) {
    return 30 + (recorderTime - kFirstSync) / 43200;
}

struct Position {
    double lat, lon;
};

// About 1.17 m/s, north-north-east.
Position walk(int night, double time) {
    const double t = time - (night * kDay + kWalkStart);
    return {50 + 0.01 * night + 1e-5 * t, 8 + 0.01 * night + 0.5e-5 * t};
}

// Recorder times, a recording every 54 s from 20:03; the tenth at 20:12, 4,320 s past 19:00.
double recorderTime(int night, int index) {
    return night * kDay + kWalkStart + 180 + 54 * index;
}

std::string isoTime(double seconds) {
    using namespace std::chrono;
    const auto whole = static_cast<long>(seconds);
    const year_month_day date{sys_days{2025y / May / 1} + days{whole / 86400}};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02ld:%02ld:%02ldZ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), whole % 86400 / 3600, whole % 3600 / 60,
                  whole % 60);
    return text;
}

std::string name(int night, int index) {
    char text[24];
    std::snprintf(text, sizeof text, "N%02d-%03d.wav", night, index);
    return text;
}

std::string logFile(int night, double from, double to) {
    std::string text = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"t\" "
                       "xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>\n";
    char fix[128];
    for (double t = night * kDay + from; t <= night * kDay + to; t += 5) {
        const Position p = walk(night, t);
        std::snprintf(fix, sizeof fix, "<trkpt lat=\"%.7f\" lon=\"%.7f\"><time>%s</time></trkpt>\n", p.lat,
                      p.lon, isoTime(t).c_str());
        text += fix;
    }
    return text + "</trkseg></trk></gpx>\n";
}

double metres(Position a, Position b) {
    constexpr double kDegree = 6371008.8 * 3.14159265358979 / 180;
    return std::hypot((a.lat - b.lat) * kDegree,
                      (a.lon - b.lon) * kDegree * std::cos(a.lat * 3.14159265358979 / 180));
}

struct Row {
    std::string status, lat, lon, offset, log;
};

// The report's rows by file name; no field of this season needs quoting.
std::map<std::string, Row> readReport(const std::string &text) {
    std::istringstream in(text);
    std::map<std::string, int> column;
    std::map<std::string, Row> rows;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');)
            fields.push_back(cell);
        if (line.back() == ',')
            fields.emplace_back();
        if (column.empty()) {
            for (std::size_t i = 0; i < fields.size(); ++i)
                column[fields[i]] = int(i);
            continue;
        }
        const auto at = [&](const char *key) { return fields.at(std::size_t(column.at(key))); };
        rows[at("filename")] = {at("status"), at("latitude"), at("longitude"), at("offset_seconds"),
                                at("gps_log")};
    }
    return rows;
}

class SeasonTest : public SurveyTest {
protected:
    void SetUp() override {
        SurveyTest::SetUp();
        std::filesystem::create_directories(dir / "logs");
        std::string catalogue = "filename,recording_time,species\n";
        for (int n = 0; n < kNights; ++n) {
            const std::string night = isoTime(n * kDay).substr(0, 10);
            writeFile(dir / "logs" / (night + "a.gpx"), logFile(n, kWalkStart, kRestartFrom));
            writeFile(dir / "logs" / (night + "b.gpx"), logFile(n, kRestartTo, kWalkEnd));
            for (int i = 0; i < kPerNight; ++i)
                catalogue += name(n, i) + "," + isoTime(recorderTime(n, i)) + ",Ppip\n";
        }
        writeFile(csv(), catalogue);
    }

    std::map<std::string, Row> runSeason(const std::vector<std::string> &clock, RunResult &result) const {
        result = runPelorin(concat({"--gpx", (dir / "logs").string(), "--recordings", csv(),
                                    "--split-segments", "--report", report()},
                                   clock));
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return readReport(readFile(report()));
    }

    // Checks every recording against the walk at the GPS time the clock gives it; returns how many were in a
    // gap.
    static int expectPlacedAt(const std::map<std::string, Row> &rows, auto gpsTime) {
        int inGap = 0;
        for (int n = 0; n < kNights; ++n)
            for (int i = 0; i < kPerNight; ++i) {
                const Row &row = rows.at(name(n, i));
                const double t = gpsTime(recorderTime(n, i)) - n * kDay;
                SCOPED_TRACE(name(n, i) + " at " + isoTime(n * kDay + t));
                if (t > kRestartFrom && t < kRestartTo) {
                    ++inGap;
                    EXPECT_EQ(row.status, "in-gap");
                    EXPECT_EQ(row.lat, "");
                    continue;
                }
                EXPECT_THAT(row.status, AnyOf("interpolated", "exact"));
                const Position placed{std::stod(row.lat), std::stod(row.lon)};
                EXPECT_LT(metres(placed, walk(n, n * kDay + t)), 1.0);
                EXPECT_EQ(row.log, isoTime(n * kDay).substr(0, 10) + (t < kRestartFrom ? "a.gpx" : "b.gpx"));
            }
        return inGap;
    }
};

TEST_F(SeasonTest, TwoSyncPointsPlaceASeasonWhereOneOffsetIsOffByTheDrift) {
    RunResult r;
    // Noted at deployment and at pickup: 30 s behind, then 59 days later 148 s behind.
    const auto synced = runSeason({"--sync", "2025-05-01T19:00:00Z=2025-05-01T19:00:30Z", "--sync",
                                   "2025-06-29T19:00:00Z=2025-06-29T19:02:28Z"},
                                  r);
    EXPECT_THAT(r.err, HasSubstr("pelorin: the recorder's clock lost 2 s a day between 2025-05-01 and "
                                 "2025-06-29\n"));
    // Five or six recordings a night fall in the restart, one of them (N15-040) 0.14 s after its last fix.
    const int gaps = expectPlacedAt(synced, [](double t) { return t + trueOffset(t); });
    EXPECT_EQ(gaps, 333);
    EXPECT_THAT(r.err, HasSubstr("placed 5667 of 6000 recordings: 333 in gaps of 5 min; read 120 logs, "
                                 "68520 points"));
    EXPECT_EQ(synced.at("N15-040.wav").status, "in-gap");
    // 4,320 s past 19:00 each night: 0.1 s more than the whole days' 2 s.
    EXPECT_EQ(synced.at("N00-010.wav").offset, "30.1");
    EXPECT_EQ(synced.at("N59-010.wav").offset, "148.1");

    // One offset fits the first night only: the last night's are placed 118.1 s of walking early.
    const auto fixed = runSeason({"--offset", "30"}, r);
    EXPECT_EQ(expectPlacedAt(fixed, [](double t) { return t + 30; }), 360); // six a night
    EXPECT_THAT(r.err, HasSubstr("placed 5640 of 6000 recordings: 360 in gaps of 5 min"));
    EXPECT_EQ(fixed.at("N59-010.wav").offset, "30");
    // N59-010 at 20:12:30 rather than 20:14:28.1: 750 s into the walk, not 868.1 s; 138 m short.
    const Position placed{std::stod(fixed.at("N59-010.wav").lat), std::stod(fixed.at("N59-010.wav").lon)};
    EXPECT_NEAR(placed.lat, 50.5975, 4e-6);
    EXPECT_NEAR(placed.lon, 8.59375, 1e-6);
    EXPECT_NEAR(metres(placed, {50.598681, 8.5943405}), 137.8, 0.5);
}

} // namespace
} // namespace pelorin::test
