#include "recordings/GuanoFileWrite.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {

namespace {

FileStamp stampOf(const struct stat &st) {
    return {static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

class FileTarget final : public WriteTarget {
public:
    explicit FileTarget(int fd)
        : fd_(fd) {}
    bool write(std::uint64_t offset, std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return fail();
            bytes.remove_prefix(static_cast<std::size_t>(n));
            offset += static_cast<std::uint64_t>(n);
        }
        return true;
    }
    bool flush() override { return ::fdatasync(fd_) == 0 || fail(); }
    const std::string &error() const { return error_; }

private:
    bool fail() {
        error_ = errno == 0 ? "short write" : std::strerror(errno);
        return false;
    }
    int fd_;
    std::string error_;
};

} // namespace

GuanoFileWrite::Fd::Fd(Fd &&other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

GuanoFileWrite::Fd::~Fd() {
    if (fd_ >= 0)
        ::close(fd_);
}

GuanoFileWrite::Fd &GuanoFileWrite::Fd::operator=(int fd) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
    return *this;
}

std::uint64_t GuanoFileWrite::fileSystemDevice(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_dev) : 0;
}

GuanoFileWrite::GuanoFileWrite(const std::string &path, const GuanoWriteRequest &request, DeviceOf deviceOf) {
    const auto refuse = [this](std::string why) {
        plan_ = {};
        plan_.error = std::move(why);
    };
    const int readOnly = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (readOnly < 0) {
        refuse(std::strerror(errno));
        return;
    }
    struct stat st {};
    int flags = 0;
    const bool regular = ::fstat(readOnly, &st) == 0 && S_ISREG(st.st_mode);
    const bool pinned =
        ::ioctl(readOnly, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
    ::close(readOnly);
    if (!regular) {
        refuse("not a regular file");
        return;
    }
    if (pinned) {
        refuse("the file is immutable (chattr +i) or append-only");
        return;
    }
    // Permission bits, not access(2): whoever runs this as root still means them.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        refuse("the file is read-only");
        return;
    }
    fd_ = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd_ < 0) {
        refuse(std::strerror(errno));
        return;
    }
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        refuse("not a regular file");
        return;
    }
    stamp_ = stampOf(st);
    device_ = deviceOf(fd_);
    const ReadAt readAt = readAtFile(fd_);
    plan_ = planGuanoWrite(stamp_.size, readAt, request);
}

bool GuanoFileWrite::unchangedSincePlanned(std::string &error) const {
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && stampOf(st) == stamp_)
        return true;
    error = "the file changed since it was read (size or modification time); run again";
    return false;
}

bool GuanoFileWrite::writeStep(std::size_t step, std::string &error) {
    FileTarget target(fd_);
    for (const ByteWrite &write : plan_.steps.at(step)) {
        if (!target.write(write.offset, write.bytes)) {
            error = "cannot write: " + target.error();
            return false;
        }
    }
    return true;
}

bool GuanoFileWrite::flush(std::string &error) {
    if (::fdatasync(fd_) == 0)
        return true;
    error = std::string("cannot flush to the disk: ") + std::strerror(errno);
    return false;
}

bool GuanoFileWrite::flushFileSystem(std::string &error) {
    if (::syncfs(fd_) == 0)
        return true;
    error = std::string("cannot flush to the disk: ") + std::strerror(errno);
    return false;
}

bool GuanoFileWrite::commit(std::string &error) {
    if (plan_.outcome != GuanoPlanOutcome::Write)
        return plan_.outcome != GuanoPlanOutcome::Refused || (error = plan_.error, false);
    if (!unchangedSincePlanned(error))
        return false;
    for (std::size_t step = 0; step < plan_.steps.size(); ++step) {
        if (!writeStep(step, error) || !flush(error))
            return false;
    }
    return true;
}

std::vector<std::string> commitGuanoWrites(std::span<GuanoFileWrite> writes,
                                           const FlushFileSystem &flushFileSystem) {
    std::vector<std::string> errors(writes.size());
    std::vector<bool> active(writes.size());
    std::size_t steps = 0;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const GuanoWritePlan &plan = writes[i].plan();
        if (plan.outcome == GuanoPlanOutcome::Refused)
            errors[i] = plan.error;
        active[i] = plan.outcome == GuanoPlanOutcome::Write && writes[i].unchangedSincePlanned(errors[i]);
        if (active[i])
            steps = std::max(steps, plan.steps.size());
    }
    for (std::size_t step = 0; step < steps; ++step) {
        std::vector<std::size_t> flushBy; // one write per file system flushes it for all
        for (std::size_t i = 0; i < writes.size(); ++i) {
            if (!active[i] || step >= writes[i].plan().steps.size())
                continue;
            active[i] = writes[i].writeStep(step, errors[i]);
            const bool seen = std::any_of(flushBy.begin(), flushBy.end(), [&](std::size_t j) {
                return writes[j].device() == writes[i].device();
            });
            if (active[i] && !seen)
                flushBy.push_back(i);
        }
        for (const std::size_t i : flushBy) {
            std::string error;
            if (flushFileSystem(writes[i], error))
                continue;
            for (std::size_t j = 0; j < writes.size(); ++j) { // none of that file system's writes is sure
                if (active[j] && writes[j].device() == writes[i].device()) {
                    active[j] = false;
                    errors[j] = error;
                }
            }
        }
    }
    return errors;
}

} // namespace pelorin
