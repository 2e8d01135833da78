// Bytes into the GPX reader. The first byte picks the size of the pieces the
// parser is fed, so buffer boundaries fall everywhere. The result must not
// depend on them, nor on what the same reader parsed before.
#include "FuzzCheck.h"
#include "gpx/GpxReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string_view>

namespace {

constexpr std::size_t kChunkSizes[] = {1, 2, 3, 5, 7, 16, 61, 256, 4096, 0};

// The place of an error is the input's; its code is not: expat may call the
// same bad bytes an unclosed token when it has them all, an invalid one when
// they come in pieces.
bool sameError(const pelorin::GpxError &a, const pelorin::GpxError &b) {
    return a.kind == b.kind && a.line == b.line && a.column == b.column;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t chunk = kChunkSizes[data[0] % std::size(kChunkSizes)];
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);

    static pelorin::GpxReader reused; // carries whatever the previous inputs left in it
    const pelorin::GpxResult chunked = reused.parseGPXBytes(bytes, chunk);
    pelorin::GpxReader fresh;
    const pelorin::GpxResult whole = fresh.parseGPXBytes(bytes);

    if (!whole.ok()) {
        // Bytes are always readable and nobody cancels: only a parse error can stop the read.
        PELORIN_FUZZ_CHECK(whole.error->kind == pelorin::GpxError::Kind::Parse);
        PELORIN_FUZZ_CHECK(whole.error->line >= 1 && whole.error->column >= 1);
        PELORIN_FUZZ_CHECK(!whole.error->description.empty());
    }
    // expat guesses the encoding from the first bytes it gets: given fewer than
    // four it may guess otherwise. A file is never read in pieces that small, so
    // there only the absence of crashes counts.
    if (chunk != 0 && chunk < 4)
        return 0;
    PELORIN_FUZZ_CHECK(chunked.ok() == whole.ok());
    PELORIN_FUZZ_CHECK(chunked.points == whole.points);
    PELORIN_FUZZ_CHECK(chunked.hasElevation == whole.hasElevation);
    if (!whole.ok() && !sameError(*chunked.error, *whole.error)) {
        std::fprintf(stderr, "in pieces of %zu: error %d at %ld:%ld (%s); whole: error %d at %ld:%ld (%s)\n",
                     chunk, chunked.error->code, chunked.error->line, chunked.error->column,
                     chunked.error->description.c_str(), whole.error->code, whole.error->line,
                     whole.error->column, whole.error->description.c_str());
        PELORIN_FUZZ_CHECK(false);
    }
    return 0;
}
