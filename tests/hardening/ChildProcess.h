#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace pelorin::test {

struct ProcessLimits {
    // A child still running after this is killed and reported as hung: a guard
    // against hangs, not a measure of speed.
    std::chrono::seconds guard{120};
    std::uint64_t addressSpaceBytes = 0;                          // RLIMIT_AS of the child; 0: none
    std::vector<std::pair<std::string, std::string>> environment; // set in the child
};

struct ProcessResult {
    bool started = false;
    bool hung = false;
    int exitCode = -1; // -1 unless the child exited
    int signal = 0;    // the signal that ended it, 0 when none
    long maxRssKiB = 0;
    std::string out;
    std::string err;

    bool exited(int code) const noexcept { return started && !hung && signal == 0 && exitCode == code; }
};

std::ostream &operator<<(std::ostream &os, const ProcessResult &result);

// Runs argv[0] (looked up in PATH) with standard input empty, collecting its
// output, its exit status and its peak resident memory.
ProcessResult runProcess(const std::vector<std::string> &argv, const ProcessLimits &limits = {});

// The `pelorin` command of this build, with args.
ProcessResult runPelorin(const std::vector<std::string> &args, const ProcessLimits &limits = {});

// Whether this build runs under AddressSanitizer, which reserves terabytes of
// address space and so cannot live under RLIMIT_AS.
constexpr bool kAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

} // namespace pelorin::test

// Skips the current test when this build has no `pelorin` command.
#define PELORIN_REQUIRE_CLI()                                                                                \
    do {                                                                                                     \
        if (std::string(PELORIN_EXE).empty())                                                                \
            GTEST_SKIP() << "the pelorin command is not part of this build";                                 \
    } while (0)
