#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pelorin::test {

namespace {

[[noreturn]] void becomeChild(const std::vector<std::string> &argv, const ProcessLimits &limits, int outFd,
                              int errFd) {
    setpgid(0, 0); // the guard kills wrappers (strace, unshare) and what they started alike
    if (limits.addressSpaceBytes != 0) {
        const rlimit limit{limits.addressSpaceBytes, limits.addressSpaceBytes};
        setrlimit(RLIMIT_AS, &limit);
    }
    for (const auto &[name, value] : limits.environment)
        setenv(name.c_str(), value.c_str(), 1);
    const int nothing = open("/dev/null", O_RDONLY);
    if (nothing < 0 || dup2(nothing, 0) < 0 || dup2(outFd, 1) < 0 || dup2(errFd, 2) < 0)
        _exit(126);
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

} // namespace

std::ostream &operator<<(std::ostream &os, const ProcessResult &result) {
    if (!result.started)
        return os << "(not started)";
    if (result.hung)
        os << "hung and was killed";
    else if (result.signal != 0)
        os << "killed by signal " << result.signal;
    else
        os << "exit " << result.exitCode;
    return os << ", peak " << result.maxRssKiB << " KiB; stderr:\n" << result.err;
}

ProcessResult runProcess(const std::vector<std::string> &argv, const ProcessLimits &limits) {
    ProcessResult result;
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0)
        return result;
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return result;
    }
    const pid_t pid = fork();
    if (pid == 0)
        becomeChild(argv, limits, outPipe[1], errPipe[1]);
    close(outPipe[1]);
    close(errPipe[1]);
    result.started = pid > 0;

    const auto deadline = std::chrono::steady_clock::now() + limits.guard;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string *sinks[2] = {&result.out, &result.err};
    int openPipes = result.started ? 2 : 0;
    while (openPipes > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.hung = true;
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            break;
        }
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[65536];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --openPipes;
            }
        }
    }
    close(outPipe[0]);
    close(errPipe[0]);
    if (!result.started)
        return result;

    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    result.maxRssKiB = usage.ru_maxrss;
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    return result;
}

ProcessResult runPelorin(const std::vector<std::string> &args, const ProcessLimits &limits) {
    std::vector<std::string> argv{PELORIN_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProcess(argv, limits);
}

} // namespace pelorin::test
