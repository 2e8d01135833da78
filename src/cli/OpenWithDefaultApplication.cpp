#include "cli/OpenWithDefaultApplication.h"

#include <filesystem>

#include <fcntl.h>
#include <spawn.h>

extern char **environ;

namespace pelorin::cli {

void openWithDefaultApplication(const std::string &path) {
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(path, ec).string();
    if (ec)
        absolute = path;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return;
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

    char program[] = "xdg-open";
    char *argv[] = {program, absolute.data(), nullptr};
    pid_t child = 0;
    // The child outlives us; once we exit, init reaps it.
    posix_spawnp(&child, program, &actions, &attributes, argv, environ);

    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
}

} // namespace pelorin::cli
