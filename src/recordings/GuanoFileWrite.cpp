#include "recordings/GuanoFileWrite.h"

#include <algorithm>
#include <utility>

namespace pelorin {

namespace {

FileStamp stampOf(const FileStatus &status) {
    return {status.size, status.modifiedNs};
}

class FileTarget final : public WriteTarget {
public:
    explicit FileTarget(File &file)
        : file_(file) {}
    bool write(std::uint64_t offset, std::string_view bytes) override {
        return file_.writeAt(offset, bytes, error_) || fail();
    }
    bool flush() override { return file_.flushData(error_) || fail(); }
    const std::string &error() const { return text_; }

private:
    bool fail() {
        text_ = error_ ? error_.message() : "short write";
        return false;
    }
    File &file_;
    std::error_code error_;
    std::string text_;
};

} // namespace

GuanoFileWrite::GuanoFileWrite(const std::string &path, const GuanoWriteRequest &request, DeviceOf deviceOf) {
    const auto refuse = [this](std::string why) {
        plan_ = {};
        plan_.error = std::move(why);
    };
    {
        const ReadOnlyFile readOnly = openReadOnly(path, File::Links::Refuse);
        if (readOnly.problem == ReadOnlyFile::Problem::CannotOpen) {
            refuse(readOnly.error.message());
            return;
        }
        if (!readOnly) {
            refuse("not a regular file");
            return;
        }
        if (readOnly.file.pinned()) {
            refuse("the file is immutable (chattr +i) or append-only");
            return;
        }
        // Permission bits, not access(2): whoever runs this as root still means them.
        if (!readOnly.status.writable) {
            refuse("the file is read-only");
            return;
        }
    }
    std::error_code error;
    file_ = File::open(path, File::Access::ReadWrite, File::Links::Refuse, error);
    if (!file_.isOpen()) {
        refuse(error.message());
        return;
    }
    const std::optional<FileStatus> status = file_.status(error);
    if (!status || status->type != FileType::Regular) {
        refuse("not a regular file");
        return;
    }
    stamp_ = stampOf(*status);
    device_ = deviceOf(*status);
    const ReadAt readAt = readAtFile(file_);
    plan_ = planGuanoWrite(stamp_.size, readAt, request);
}

bool GuanoFileWrite::unchangedSincePlanned(std::string &error) const {
    std::error_code ignored;
    if (const std::optional<FileStatus> status = file_.status(ignored); status && stampOf(*status) == stamp_)
        return true;
    error = "the file changed since it was read (size or modification time); run again";
    return false;
}

bool GuanoFileWrite::writeStep(std::size_t step, std::string &error) {
    FileTarget target(file_);
    for (const ByteWrite &write : plan_.steps.at(step)) {
        if (!target.write(write.offset, write.bytes)) {
            error = "cannot write: " + target.error();
            return false;
        }
    }
    return true;
}

bool GuanoFileWrite::flush(std::string &error) {
    std::error_code why;
    if (file_.flushData(why))
        return true;
    error = "cannot flush to the disk: " + why.message();
    return false;
}

bool GuanoFileWrite::flushFileSystem(std::string &error) {
    std::error_code why;
    if (file_.flushFileSystem(why))
        return true;
    error = "cannot flush to the disk: " + why.message();
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
