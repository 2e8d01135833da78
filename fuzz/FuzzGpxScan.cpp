// Bytes into the GPX reader's two ways: expat alone, and the scan beside
// expat's check. They must agree on everything a caller sees: the points
// (their entries, segments, kinds and verdicts), where the bad ones start,
// the elevation flag, the error with its line and column, and what the
// observer heard. The first byte picks the size of the pieces read.
#include "FuzzCheck.h"
#include "gpx/GpxReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

namespace {

// Under four bytes expat may guess another encoding from the first piece: a
// file is never read in pieces that small.
constexpr std::size_t kChunkSizes[] = {4, 5, 7, 16, 61, 256, 4096, 0};

bool samePoints(const std::vector<pelorin::TrackPoint> &a, const std::vector<pelorin::TrackPoint> &b) {
    if (a != b)
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].segment() != b[i].segment() || a[i].isWaypoint() != b[i].isWaypoint() ||
            a[i].hasBadCoordinates() != b[i].hasBadCoordinates())
            return false;
    }
    return true;
}

bool sameErrors(const pelorin::GpxResult &a, const pelorin::GpxResult &b) {
    if (a.ok() || b.ok())
        return a.ok() == b.ok();
    const pelorin::GpxError &x = *a.error;
    const pelorin::GpxError &y = *b.error;
    return x.kind == y.kind && x.code == y.code && x.description == y.description && x.line == y.line &&
           x.column == y.column;
}

bool sameBadPoints(const pelorin::GpxResult &a, const pelorin::GpxResult &b) {
    if (a.badCoordinates.size() != b.badCoordinates.size())
        return false;
    for (std::size_t i = 0; i < a.badCoordinates.size(); ++i) {
        const auto &x = a.badCoordinates[i];
        const auto &y = b.badCoordinates[i];
        if (x.index != y.index || x.line != y.line || x.column != y.column)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto [chunk, bytes] = piecedInput(data, size, kChunkSizes);

    pelorin::GpxReader expat;
    const pelorin::GpxResult byExpat = expat.parseGPXBytes(bytes, chunk);

    static pelorin::GpxReader twoCores; // carries whatever the previous inputs left in it
    twoCores.setReadOnTwoCores(true);
    std::vector<pelorin::TrackPoint> heard;
    twoCores.setPointObserver([&](const pelorin::TrackPoint &point, bool) { heard.push_back(point); });
    const pelorin::GpxResult scanned = twoCores.parseGPXBytes(bytes, chunk);

    PELORIN_FUZZ_CHECK(samePoints(scanned.points, byExpat.points));
    PELORIN_FUZZ_CHECK(scanned.hasElevation == byExpat.hasElevation);
    PELORIN_FUZZ_CHECK(sameErrors(scanned, byExpat));
    PELORIN_FUZZ_CHECK(sameBadPoints(scanned, byExpat));
    // The observer hears each point once, in order, whichever way it was read;
    // after an error it may have heard of points past it.
    if (scanned.ok())
        PELORIN_FUZZ_CHECK(heard == scanned.points);
    else
        PELORIN_FUZZ_CHECK(heard.size() >= scanned.points.size() &&
                           std::equal(scanned.points.begin(), scanned.points.end(), heard.begin()));
    // A document expat takes whole is the scan's unless it holds what the scan leaves to expat.
    if (byExpat.ok() && bytes.find("<!DOCTYPE") == std::string_view::npos &&
        bytes.find("encoding") == std::string_view::npos && bytes.find('&') == std::string_view::npos &&
        (bytes.empty() || (bytes[0] != '\0' && bytes[0] != '\xFE' && bytes[0] != '\xFF')))
        PELORIN_FUZZ_CHECK(twoCores.lastReadScanned());
    return 0;
}
