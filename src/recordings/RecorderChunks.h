#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

// The metadata recorders write in chunks of their own, read from a chunk's body.

// Wildlife Acoustics' `wamd` chunk (Song Meters, Echo Meter Touch): sub-chunks
// of uint16 id, uint32 length and a value, little-endian, the first the
// version. Values as written; a sub-chunk that runs past the body ends the read.
struct WamdFields {
    std::optional<std::string> startTime;    // 0x0005, "2022-08-15 21:34:14+0100" (leading blanks kept)
    std::optional<std::string> firstFix;     // 0x0006, "WGS84,50.71,N,1.76,W[,alt]" or signed numbers
    std::optional<std::string> lastPosition; // 0x0014, the same forms
    std::optional<std::string> autoId;       // 0x000B
    std::optional<std::string> manualId;     // 0x000C
};
WamdFields readWamd(std::string_view body);

// The comment (ICMT) of a `LIST` chunk of type INFO, its NUL padding dropped;
// nothing for another type or without one.
std::optional<std::string> listInfoComment(std::string_view body);

// The text of the first COMM frame of an `id3 ` chunk's ID3v2.3 or v2.4 tag
// (Latin-1 or UTF-8 kept as bytes, UTF-16 down to its ASCII), NULs dropped.
std::optional<std::string> id3Comment(std::string_view body);

} // namespace pelorin
