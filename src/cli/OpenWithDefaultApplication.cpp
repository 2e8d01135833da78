#include "cli/OpenWithDefaultApplication.h"

#include "fileio/DetachedProcess.h"

#include <filesystem>

namespace pelorin::cli {

void openWithDefaultApplication(const std::string &path) {
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(path, ec).string();
    if (ec)
        absolute = path;
    startDetached({"xdg-open", absolute});
}

} // namespace pelorin::cli
