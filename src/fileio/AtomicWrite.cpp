#include "fileio/AtomicWrite.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace pelorin {

namespace {

WriteResult failure(std::string what, int error) {
    return {false, std::move(what) + ": " + std::strerror(error)};
}

std::string folderOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The process's umask without changing it (umask(2) can only be read by
// setting it, which would race with other threads creating files).
mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

struct Destination {
    std::string path;           // the file to replace: symbolic links followed
    std::optional<mode_t> mode; // the permissions of an existing file
};

// Follows symbolic links, so that writing through a link replaces the file it
// points to and leaves the link itself in place. Refuses anything but a
// regular file or a name not yet taken.
std::optional<WriteResult> resolve(const std::string &path, Destination &destination) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0) {
            if (errno != ENOENT)
                return failure("Couldn't write " + path + ": couldn't examine " + current, errno);
            destination.path = current;
            return std::nullopt;
        }
        if (S_ISLNK(info.st_mode)) {
            std::string target(static_cast<std::size_t>(info.st_size) + 1, '\0');
            const ssize_t length = readlink(current.c_str(), target.data(), target.size());
            if (length < 0)
                return failure("Couldn't write " + path + ": couldn't read the link " + current, errno);
            target.resize(static_cast<std::size_t>(length));
            current = target.starts_with('/') ? target : folderOf(current) + "/" + target;
            continue;
        }
        if (!S_ISREG(info.st_mode)) {
            const char *kind = S_ISDIR(info.st_mode) ? "a folder" : "not a regular file";
            return WriteResult{false, "Couldn't write " + path + ": it is " + kind + "; it was left alone"};
        }
        destination.path = current;
        destination.mode = info.st_mode & 07777;
        return std::nullopt;
    }
    return failure("Couldn't write " + path, ELOOP);
}

bool writeAll(int fd, std::string_view bytes, int &error) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

WriteResult writeFileAtomically(const std::string &path,
                                const std::function<void(const ByteSink &)> &produce) {
    if (path.empty())
        return {false, "Couldn't write: no destination given"};
    Destination destination;
    if (std::optional<WriteResult> refused = resolve(path, destination))
        return *refused;
    if (destination.path.ends_with('/'))
        return {false, "Couldn't write " + path + ": it names a folder, not a file"};

    // Beside the destination, so the rename stays within one file system. The
    // name is cut short so the suffix still fits a file name's limit.
    const std::string folder = folderOf(destination.path);
    const std::string base = destination.path.substr(destination.path.rfind('/') + 1);
    std::string temporary = folder + "/." + base.substr(0, 200) + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return failure("Couldn't write " + path + ": couldn't create a temporary file in " + folder, errno);

    const auto abandon = [&](WriteResult result) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return result;
    };

    // mkstemp makes the file private; the result gets the permissions of the
    // file it replaces, or those of any newly created file.
    const mode_t mode = destination.mode ? *destination.mode : (0666 & ~currentUmask());
    if (fchmod(fd, mode) != 0)
        return abandon(
            failure("Couldn't write " + path + ": couldn't set the permissions of " + temporary, errno));

    // The disk is asked to start on what is written every few megabytes, so
    // that the flush at the end waits for the last few only.
    constexpr off_t kWriteBehind = 8 << 20;
    off_t written = 0;
    off_t handedOn = 0;
    int writeError = 0;
    const ByteSink sink = [&](std::string_view bytes) {
        if (writeError != 0 || !writeAll(fd, bytes, writeError))
            return;
        written += static_cast<off_t>(bytes.size());
        if (written - handedOn >= kWriteBehind) {
            // Only a hint: a failure shows when the file is flushed.
            sync_file_range(fd, handedOn, written - handedOn, SYNC_FILE_RANGE_WRITE);
            handedOn = written;
        }
    };
    try {
        produce(sink);
    } catch (const std::exception &e) {
        return abandon({false, "Couldn't write " + path + ": " + e.what()});
    } catch (...) {
        return abandon({false, "Couldn't write " + path + ": the contents could not be made"});
    }
    if (writeError != 0)
        return abandon(failure("Couldn't write " + path, writeError));
    if (fsync(fd) != 0)
        return abandon(failure("Couldn't write " + path + ": flushing to disk failed", errno));
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return failure("Couldn't write " + path, error);
    }
    if (std::rename(temporary.c_str(), destination.path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return failure("Couldn't write " + path + ": replacing " + destination.path + " failed", error);
    }
    // Make the rename itself durable; a failure here leaves a complete file.
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        fsync(dir);
        ::close(dir);
    }
    return {true, {}};
}

} // namespace pelorin
