#include "fileio/File.h"

#include <cerrno>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

FileType typeOf(mode_t mode) {
    if (S_ISREG(mode))
        return FileType::Regular;
    if (S_ISDIR(mode))
        return FileType::Folder;
    if (S_ISFIFO(mode))
        return FileType::Pipe;
    return S_ISSOCK(mode) ? FileType::Socket : FileType::Device;
}

} // namespace

File::File(File &&other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

File &File::operator=(File &&other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

File::~File() {
    close();
}

void File::close() noexcept {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

File File::open(const std::string &path, Access access, Links links, std::error_code &error) {
    int flags = (access == Access::Read ? O_RDONLY : O_RDWR) | O_NONBLOCK | O_CLOEXEC;
    if (links == Links::Refuse)
        flags |= O_NOFOLLOW;
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0)
        error = lastError();
    return File(fd);
}

std::optional<FileStatus> File::status(std::error_code &error) const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        error = lastError();
        return std::nullopt;
    }
    FileStatus status;
    status.type = typeOf(st.st_mode);
    status.size = static_cast<std::uint64_t>(st.st_size);
    status.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    status.device = static_cast<std::uint64_t>(st.st_dev);
    status.writable = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return status;
}

bool File::pinned() const {
    int flags = 0;
    return ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
}

std::optional<std::size_t> File::read(char *into, std::size_t size, std::error_code &error) {
    ssize_t n;
    do {
        n = ::read(fd_, into, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        error = lastError();
        return std::nullopt;
    }
    return static_cast<std::size_t>(n);
}

std::optional<std::size_t> File::readAt(std::uint64_t offset, char *into, std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, into + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool File::writeAt(std::uint64_t offset, std::string_view bytes, std::error_code &error) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A write of nothing sets no errno: that is a short write.
            error = n < 0 ? lastError() : std::error_code();
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool File::flushData(std::error_code &error) {
    if (::fdatasync(fd_) == 0)
        return true;
    error = lastError();
    return false;
}

bool File::flushFileSystem(std::error_code &error) {
    if (::syncfs(fd_) == 0)
        return true;
    error = lastError();
    return false;
}

ReadOnlyFile openReadOnly(const std::string &path, File::Links links) {
    ReadOnlyFile opened;
    opened.file = File::open(path, File::Access::Read, links, opened.error);
    if (!opened.file.isOpen()) {
        opened.problem = ReadOnlyFile::Problem::CannotOpen;
        return opened;
    }
    const std::optional<FileStatus> status = opened.file.status(opened.error);
    if (!status) {
        opened.problem = ReadOnlyFile::Problem::CannotExamine;
        opened.file = {};
        return opened;
    }
    opened.status = *status;
    if (status->type != FileType::Regular) {
        opened.problem = ReadOnlyFile::Problem::NotRegular;
        opened.file = {};
        return opened;
    }
    // Opened without blocking only so that a FIFO could not hang the open.
    ::fcntl(opened.file.fd_, F_SETFL, ::fcntl(opened.file.fd_, F_GETFL) & ~O_NONBLOCK);
    return opened;
}

std::optional<std::string> createUniqueFile(const std::string &pattern) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return std::nullopt;
    ::close(fd);
    return std::string(name.data());
}

} // namespace pelorin
