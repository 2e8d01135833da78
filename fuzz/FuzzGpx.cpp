// Bytes into the GPX reader. The first byte picks the size of the pieces the
// parser is fed, so buffer boundaries fall everywhere. The result must not
// depend on them, nor on what the same reader parsed before.
#include "FuzzCheck.h"
#include "gpx/GpxReader.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

namespace {
constexpr std::size_t kChunkSizes[] = {1, 2, 3, 5, 7, 16, 61, 256, 4096, 0};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto [chunk, bytes] = piecedInput(data, size, kChunkSizes);

    static pelorin::GpxReader reused; // carries whatever the previous inputs left in it
    const pelorin::GpxResult chunked = reused.parseGPXBytes(bytes, chunk);
    // The fresh reader reports each point as it completes it, for writers that
    // start on the track early: the same points, and whether an elevation was
    // seen never goes back nor runs ahead of the result.
    pelorin::GpxReader fresh;
    std::vector<pelorin::TrackPoint> observed;
    bool seenElevation = false;
    fresh.setPointObserver([&](const pelorin::TrackPoint &point, bool hasElevationSoFar) {
        PELORIN_FUZZ_CHECK(hasElevationSoFar || !seenElevation);
        seenElevation = hasElevationSoFar;
        observed.push_back(point);
    });
    const pelorin::GpxResult whole = fresh.parseGPXBytes(bytes);
    PELORIN_FUZZ_CHECK(observed == whole.points);
    PELORIN_FUZZ_CHECK(!seenElevation || whole.hasElevation);

    // Built on another thread, the same reading.
    pelorin::GpxReader aside;
    aside.setReadOnTwoCores(true);
    const pelorin::GpxResult built = aside.parseGPXBytes(bytes);
    PELORIN_FUZZ_CHECK(built.points == whole.points);
    PELORIN_FUZZ_CHECK(built.hasElevation == whole.hasElevation && built.ok() == whole.ok());
    PELORIN_FUZZ_CHECK(built.badCoordinates.size() == whole.badCoordinates.size());

    for (const pelorin::GpxResult *result : {&chunked, &whole}) {
        if (result->ok())
            continue;
        // Bytes are always readable and nobody cancels: only a parse error can stop the read.
        PELORIN_FUZZ_CHECK(result->error->kind == pelorin::GpxError::Kind::Parse);
        PELORIN_FUZZ_CHECK(result->error->line >= 1 && result->error->column >= 1);
        PELORIN_FUZZ_CHECK(!result->error->description.empty());
    }
    // expat guesses the encoding from the first bytes it gets: given fewer than
    // four it may guess otherwise. A file is never read in pieces that small, so
    // there only the absence of crashes counts.
    if (chunk != 0 && chunk < 4)
        return 0;
    PELORIN_FUZZ_CHECK(chunked.ok() == whole.ok());
    PELORIN_FUZZ_CHECK(chunked.points == whole.points);
    PELORIN_FUZZ_CHECK(chunked.hasElevation == whole.hasElevation);
    // Where expat reports an error may move with the pieces (after the root
    // element, "99<" is junk at its first byte in one piece, an invalid token
    // two bytes on in another), so only the outcome is compared.
    return 0;
}
