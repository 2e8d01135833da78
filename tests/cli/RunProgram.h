#pragma once

#include "TempFolder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pelorin::test {

struct RunResult {
    int exitCode = -1; // -1 when the program did not exit normally, as when the hang guard killed it
    long maxRssKiB = 0;
    std::string out;
    std::string err;
};

// Runs argv[0] (looked up in PATH) with standard input from nothing, in a process group of its own. A program
// still running after the hang guard is killed with all it started: nothing hostile may block a test.
RunResult runProgram(const std::vector<std::string> &argv);

// Runs the pelorin binary built beside the tests.
RunResult runPelorin(std::vector<std::string> arguments);

// A fresh folder under the system's temporary folder, removed with all it holds.
class TempDir {
public:
    const std::filesystem::path &path() const { return folder_.path; }
    std::filesystem::path operator/(const std::string &name) const { return folder_.path / name; }

private:
    TempFolder folder_;
};

void writeFile(const std::filesystem::path &path, const std::string &bytes);

} // namespace pelorin::test
