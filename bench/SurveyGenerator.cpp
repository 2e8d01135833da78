#include "SurveyGenerator.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

namespace pelorin::bench {
namespace {

constexpr double kOriginLat = 51.339712;
constexpr double kOriginLon = 12.373104;
constexpr double kMetresPerDegree = 111'320.0;
constexpr double kAreaRadius = 3'000.0;
constexpr double kGroundLevel = 84.0;

void putDigits(char *out, unsigned value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// Fixed-point text of value / 10^decimals, so the bytes never depend on the
// C library's float formatting.
std::size_t formatFixed(std::int64_t scaled, int decimals, char *out) {
    char *p = out;
    if (scaled < 0) {
        *p++ = '-';
        scaled = -scaled;
    }
    std::int64_t unit = 1;
    for (int i = 0; i < decimals; ++i) {
        unit *= 10;
    }
    auto whole = static_cast<std::uint64_t>(scaled / unit);
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    while (n > 0) {
        *p++ = digits[--n];
    }
    if (decimals > 0) {
        *p++ = '.';
        putDigits(p, static_cast<unsigned>(scaled % unit), decimals);
        p += decimals;
    }
    return static_cast<std::size_t>(p - out);
}

// Pieces of about this size go to the sink.
constexpr std::size_t kChunk = 1 << 20;

class ChunkedOut {
public:
    explicit ChunkedOut(const TextSink &sink)
        : sink_(sink) {
        buffer_.reserve(kChunk + 4096);
    }
    ~ChunkedOut() { flush(); }
    void append(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= kChunk) {
            flush();
        }
    }
    void flush() {
        if (!buffer_.empty()) {
            sink_(buffer_);
            buffer_.clear();
        }
    }

private:
    const TextSink &sink_;
    std::string buffer_;
};

} // namespace

std::size_t formatUtc(std::int64_t seconds, char *out) {
    using namespace std::chrono;
    const sys_seconds instant{std::chrono::seconds{seconds}};
    const auto day = floor<days>(instant);
    const year_month_day date{day};
    const hh_mm_ss clock{instant - day};
    putDigits(out, static_cast<unsigned>(static_cast<int>(date.year())), 4);
    out[4] = '-';
    putDigits(out + 5, static_cast<unsigned>(date.month()), 2);
    out[7] = '-';
    putDigits(out + 8, static_cast<unsigned>(date.day()), 2);
    out[10] = 'T';
    putDigits(out + 11, static_cast<unsigned>(clock.hours().count()), 2);
    out[13] = ':';
    putDigits(out + 14, static_cast<unsigned>(clock.minutes().count()), 2);
    out[16] = ':';
    putDigits(out + 17, static_cast<unsigned>(clock.seconds().count()), 2);
    out[19] = 'Z';
    return 20;
}

TrackWalk::TrackWalk(const SurveyParams &params)
    : rng_(params.seed)
    , time_(params.startSeconds) {
    pickWaypoint();
    heading_ = uniform() * 2 * std::numbers::pi;
}

double TrackWalk::uniform() {
    return static_cast<double>(rng_() >> 11) * 0x1.0p-53;
}

double TrackWalk::noise() {
    // Irwin-Hall: close enough to normal for a walk, and the same on every platform.
    return (uniform() + uniform() + uniform() + uniform() - 2.0) * std::numbers::sqrt3;
}

void TrackWalk::pickWaypoint() {
    const double angle = uniform() * 2 * std::numbers::pi;
    const double radius = kAreaRadius * std::sqrt(uniform());
    wx_ = radius * std::sin(angle);
    wy_ = radius * std::cos(angle);
}

Fix TrackWalk::next() {
    if (pause_ > 0) {
        --pause_;
    } else if (uniform() < 1.0 / 1800) {
        pause_ = 20 + static_cast<int>(uniform() * 280); // listening at a spot
    } else {
        const double dx = wx_ - x_;
        const double dy = wy_ - y_;
        double turn = std::atan2(dx, dy) - heading_;
        turn = std::remainder(turn, 2 * std::numbers::pi);
        heading_ += 0.15 * turn + 0.08 * noise();
        speed_ = std::clamp(speed_ + 0.05 * (1.2 - speed_) + 0.03 * noise(), 0.4, 2.0);
        x_ += speed_ * std::sin(heading_);
        y_ += speed_ * std::cos(heading_);
        if (dx * dx + dy * dy < 15.0 * 15.0) {
            pickWaypoint();
        }
    }
    const double jitter = 1.5; // metres, a consumer receiver under trees
    const double lat = kOriginLat + (y_ + jitter * noise()) / kMetresPerDegree;
    const double lon = kOriginLon + (x_ + jitter * noise()) /
                                        (kMetresPerDegree * std::cos(kOriginLat * std::numbers::pi / 180));
    // Rolling ground: the same spot always has about the same height.
    const double ele = kGroundLevel + 35 * std::sin(x_ / 800) + 25 * std::cos(y_ / 650) + 0.3 * noise();
    latLen_ = formatFixed(std::llround(lat * 1e6), 6, lat_);
    lonLen_ = formatFixed(std::llround(lon * 1e6), 6, lon_);
    eleLen_ = formatFixed(std::llround(ele * 10), 1, ele_text_);
    Fix fix{{lat_, latLen_}, {lon_, lonLen_}, {ele_text_, eleLen_}, time_};
    ++time_;
    return fix;
}

void writeGpx(const SurveyParams &params, const TextSink &sink) {
    ChunkedOut out(sink);
    char stamp[20];
    formatUtc(params.startSeconds, stamp);
    out.append(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"pelorin-generate-survey\" xmlns=\"http://www.topografix.com/GPX/1/1\""
        " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:schemaLocation=\""
        "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\">\n"
        "  <metadata>\n    <name>Generated survey</name>\n    <time>");
    out.append({stamp, 20});
    out.append("</time>\n  </metadata>\n  <trk>\n    <name>Generated transect</name>\n    <trkseg>\n");
    TrackWalk walk(params);
    std::string point;
    for (std::size_t i = 0; i < params.points; ++i) {
        const Fix fix = walk.next();
        formatUtc(fix.time, stamp);
        point.clear();
        point.append("      <trkpt lat=\"").append(fix.lat).append("\" lon=\"").append(fix.lon);
        point.append("\">\n        <ele>").append(fix.ele).append("</ele>\n        <time>");
        point.append(stamp, 20).append("</time>\n      </trkpt>\n");
        out.append(point);
    }
    out.append("    </trkseg>\n  </trk>\n</gpx>\n");
}

std::string gpxDocument(const SurveyParams &params) {
    std::string document;
    document.reserve(params.points * 130 + 1024);
    writeGpx(params, [&](std::string_view bytes) { document.append(bytes); });
    return document;
}

std::vector<GeneratedRecording> generateRecordings(const SurveyParams &params) {
    static constexpr std::string_view kSpecies[] = {"Ppip", "Ppyg", "Pnat", "Nnoc", "Nlei",
                                                    "Eser", "Mdau", "Mnat", "Bbar", "Paur"};
    // A stream of its own, so changing the track's length leaves the draws alone.
    std::mt19937_64 rng(params.seed ^ 0x9E3779B97F4A7C15ull);
    auto uniform = [&] { return static_cast<double>(rng() >> 11) * 0x1.0p-53; };

    const double span = params.points > 1 ? static_cast<double>(params.points - 1) : 1.0;
    const double before = span * params.outsideShare * 0.4;
    const double after = span * params.outsideShare * 0.6;
    std::vector<std::int64_t> times(params.recordings);
    for (auto &t : times) {
        const double offset = -before + uniform() * (before + span + after);
        t = params.startSeconds + static_cast<std::int64_t>(std::floor(offset)) -
            params.recorderBehindSeconds;
    }
    std::sort(times.begin(), times.end());

    std::vector<GeneratedRecording> recordings(params.recordings);
    char stamp[20];
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        auto &r = recordings[i];
        r.time = times[i];
        formatUtc(r.time, stamp);
        // PEL_000123_20240501_193015.wav
        r.filename = "PEL_000000_YYYYMMDD_HHMMSS.wav";
        putDigits(r.filename.data() + 4, static_cast<unsigned>(i % 1'000'000), 6);
        std::copy_n(stamp, 4, r.filename.data() + 11);
        std::copy_n(stamp + 5, 2, r.filename.data() + 15);
        std::copy_n(stamp + 8, 2, r.filename.data() + 17);
        std::copy_n(stamp + 11, 2, r.filename.data() + 20);
        std::copy_n(stamp + 14, 2, r.filename.data() + 22);
        std::copy_n(stamp + 17, 2, r.filename.data() + 24);

        const double draw = uniform();
        const int count = draw < 0.15 ? 0 : draw < 0.75 ? 1 : draw < 0.95 ? 2 : 3;
        while (static_cast<int>(r.species.size()) < count) {
            const std::string_view pick = kSpecies[static_cast<std::size_t>(uniform() * std::size(kSpecies))];
            if (std::find(r.species.begin(), r.species.end(), pick) == r.species.end()) {
                r.species.emplace_back(pick);
            }
        }
    }
    return recordings;
}

void writeRecordingsCsv(const std::vector<GeneratedRecording> &recordings, const TextSink &sink) {
    ChunkedOut out(sink);
    out.append("filename,recording_time,species\n");
    std::string line;
    char stamp[20];
    for (const auto &r : recordings) {
        formatUtc(r.time, stamp);
        line.assign(r.filename).append(",").append(stamp, 20).append(",");
        for (std::size_t i = 0; i < r.species.size(); ++i) {
            line.append(i == 0 ? "" : ";").append(r.species[i]);
        }
        line.append("\n");
        out.append(line);
    }
}

} // namespace pelorin::bench
