#include "fileio/InputFile.h"

#include <filesystem>

namespace pelorin {

std::string inputFileProblem(const std::string &path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return "no such file";
    if (ec)
        return "cannot be read: " + ec.message();
    if (status.type() == fs::file_type::directory)
        return "is a folder, not a file";
    if (status.type() != fs::file_type::regular)
        return "is not a regular file";
    return {};
}

} // namespace pelorin
