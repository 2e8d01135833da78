#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelorin::test {

struct RunResult {
    int exitCode = -1; // -1 when the program did not exit normally
    int signal = 0;    // the signal that ended it, 0 if none
    bool hung = false; // killed after the hang guard ran out
    std::string out;
    std::string err;
};

// Runs program (looked up in PATH) with arguments, standard input from
// nothing, and captures both output streams. A program still running after
// the hang guard is killed: a FIFO or a hostile file must never block it.
RunResult runProgram(const std::vector<std::string> &argv);

// Runs the pelorin binary built beside the tests.
RunResult runPelorin(std::vector<std::string> arguments);

// A fresh folder under the system's temporary folder, removed with all it holds.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return path_; }
    std::filesystem::path operator/(const std::string &name) const { return path_ / name; }
    // The names in the folder, sorted.
    std::vector<std::string> names() const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path &path);
void writeFile(const std::filesystem::path &path, const std::string &bytes);

} // namespace pelorin::test
