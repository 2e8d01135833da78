#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace pelorin::test {

// A fresh folder under the system's temporary folder, removed with what it holds.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pelorin-kml-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    std::string operator/(const std::string &name) const { return (path_ / name).string(); }
    const std::filesystem::path &path() const noexcept { return path_; }

    // The names in the folder, to see that nothing was left behind.
    std::set<std::string> names() const { return names(path_); }
    static std::set<std::string> names(const std::filesystem::path &folder) {
        std::set<std::string> result;
        for (const auto &entry : std::filesystem::directory_iterator(folder))
            result.insert(entry.path().filename().string());
        return result;
    }

private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace pelorin::test
