#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace pelorin::test {

// A fresh folder under the system's temporary folder, removed with what it holds.
struct TempFolder {
    std::filesystem::path path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "pelorin-kml-XXXXXX").string();
        EXPECT_NE(mkdtemp(pattern.data()), nullptr);
        return pattern;
    }();
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string operator/(const std::string &name) const { return (path / name).string(); }
};

inline std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace pelorin::test
