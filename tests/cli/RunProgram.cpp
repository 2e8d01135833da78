#include "cli/RunProgram.h"

#include <cerrno>
#include <chrono>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace pelorin::test {

namespace fs = std::filesystem;

void writeFile(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

RunResult runProgram(const std::vector<std::string> &argv) {
    TempDir capture;
    const std::string outPath = (capture / "out").string();
    const std::string errPath = (capture / "err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);

    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);

    RunResult result;
    bool killed = false;
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        result.err = "could not start " + argv[0];
        return result;
    }

    int status = 0;
    rusage usage{};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        const pid_t done = wait4(child, &status, WNOHANG, &usage);
        if (done == child || (done < 0 && errno != EINTR))
            break;
        if (!killed && std::chrono::steady_clock::now() > deadline)
            killed = kill(-child, SIGKILL) == 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    result.maxRssKiB = usage.ru_maxrss;
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

RunResult runPelorin(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), PELORIN_CLI_PATH);
    return runProgram(arguments);
}

} // namespace pelorin::test
