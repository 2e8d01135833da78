#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// A broken property is a crash to libFuzzer: it keeps the input and stops.
#define PELORIN_FUZZ_CHECK(condition)                                                                        \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);            \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

// An input whose first byte picks, from sizes, the size of the pieces the rest
// is read in; zero pieces for an empty input.
struct PiecedInput {
    std::size_t piece = 0;
    std::string_view bytes;
};

template <std::size_t N>
PiecedInput piecedInput(const std::uint8_t *data, std::size_t size, const std::size_t (&sizes)[N]) {
    if (size == 0)
        return {};
    return {sizes[data[0] % N], std::string_view(reinterpret_cast<const char *>(data) + 1, size - 1)};
}
