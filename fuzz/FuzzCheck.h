#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property is a crash to libFuzzer: it keeps the input and stops.
#define PELORIN_FUZZ_CHECK(condition)                                                                        \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);            \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)
