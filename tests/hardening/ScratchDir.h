#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::test {

// A fresh folder under the temporary directory, removed with all it holds.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    const std::filesystem::path &path() const noexcept { return path_; }
    std::string operator/(std::string_view name) const { return (path_ / name).string(); }
    // Writes bytes to name (folders created) and returns its path.
    std::string write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

std::string readBytes(const std::filesystem::path &file);
// The names in a folder, sorted; what a failed write must leave as it was.
std::vector<std::string> listing(const std::filesystem::path &folder);

} // namespace pelorin::test
