#include "parallel/Parallel.h"
#include "documents/ChunkedOutput.h"

#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace pelorin {
namespace {

// The parts are consecutive, the first ones one item longer when n does not
// divide, and each runs once; part 0 on the caller's thread.
TEST(Parallel, SplitsARangeIntoConsecutiveParts) {
    using Part = std::tuple<std::size_t, std::size_t, std::size_t>; // part, from, to
    const struct {
        std::size_t n, parts;
        std::set<Part> expected;
    } cases[] = {
        {10, 3, {{0, 0, 4}, {1, 4, 7}, {2, 7, 10}}},
        {2, 3, {{0, 0, 1}, {1, 1, 2}, {2, 2, 2}}},
        {7, 1, {{0, 0, 7}}},
        {5, 0, {{0, 0, 5}}}, // no parts asked for: one
        {0, 2, {{0, 0, 0}, {1, 0, 0}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.n) + " in " + std::to_string(c.parts));
        std::mutex mutex;
        std::set<Part> seen;
        std::thread::id firstOn;
        inParts(c.n, c.parts, [&](std::size_t from, std::size_t to, std::size_t part) {
            const std::lock_guard lock(mutex);
            EXPECT_TRUE(seen.insert({part, from, to}).second);
            if (part == 0)
                firstOn = std::this_thread::get_id();
        });
        EXPECT_EQ(seen, c.expected);
        EXPECT_EQ(firstOn, std::this_thread::get_id());
    }
    EXPECT_EQ(partsFor(0), 1u);
    EXPECT_EQ(partsFor(8191), 1u);
    EXPECT_EQ(partsFor(std::size_t{1} << 40), coresToUse());
    EXPECT_EQ(partsFor(3 * 100, 100), std::min(3u, coresToUse()));
}

TEST(Parallel, WhatAPartThrowsReachesTheCaller) {
    EXPECT_THROW(inParts(4, 4,
                         [](std::size_t, std::size_t, std::size_t part) {
                             if (part == 2)
                                 throw std::runtime_error("part 2");
                         }),
                 std::runtime_error);
}

// Runs made on several lanes at once come out as one lane makes them, whatever
// the number of lanes and however the last round falls short.
TEST(Parallel, DocumentsMadeInParallelHaveTheBytesOfOneLane) {
    for (const auto &[n, lanes] :
         {std::pair<std::size_t, std::size_t>{50000, 3}, {20000, 5}, {9000, 2}, {100, 4}, {30000, 1}}) {
        SCOPED_TRACE(std::to_string(n) + " on " + std::to_string(lanes));
        std::string expected;
        for (std::size_t i = 0; i < n; ++i)
            expected += std::to_string(i) + ',';
        std::string written;
        const ByteSink sink = [&](std::string_view bytes) { written.append(bytes); };
        ChunkedOutput out(&sink);
        makeInParallel(
            out, n,
            [](ChunkedOutput &into, std::size_t from, std::size_t to) {
                for (std::size_t i = from; i < to; ++i) {
                    into.text() += std::to_string(i) + ',';
                    into.flushIfFull();
                }
            },
            lanes);
        out.flush();
        EXPECT_EQ(written, expected);
    }
}

} // namespace
} // namespace pelorin
