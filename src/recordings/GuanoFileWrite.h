#pragma once

#include "recordings/GuanoWritePlan.h"

#include <span>
#include <string>
#include <vector>

namespace pelorin {

// One WAV file opened for putting a position into its GUANO metadata: planned
// from what is on disk now, written later by commit(), which refuses when the
// file changed in between.
class GuanoFileWrite {
public:
    // Opens and plans; a refusal (not a WAV file, read-only, immutable, ...) is
    // in plan().outcome and plan().error.
    GuanoFileWrite(const std::string &path, const GuanoWriteRequest &request);
    ~GuanoFileWrite();
    GuanoFileWrite(GuanoFileWrite &&other) noexcept;
    GuanoFileWrite &operator=(GuanoFileWrite &&) = delete;
    GuanoFileWrite(const GuanoFileWrite &) = delete;
    GuanoFileWrite &operator=(const GuanoFileWrite &) = delete;

    const GuanoWritePlan &plan() const { return plan_; }

    // Writes the planned steps, each flushed to the disk before the next. On
    // failure the file is left valid at the last completed step and error says why.
    bool commit(std::string &error);

    // The same in parts, for many files at once (commitGuanoWrites): whether
    // the file is still as planned, one step's writes, and making them durable.
    bool unchangedSincePlanned(std::string &error) const;
    bool writeStep(std::size_t step, std::string &error);
    bool flush(std::string &error);
    bool flushFileSystem(std::string &error); // everything written on the file's file system
    std::uint64_t device() const { return device_; }

private:
    int fd_ = -1;
    FileStamp stamp_;
    std::uint64_t device_ = 0;
    GuanoWritePlan plan_;
};

// Commits many prepared writes with one flush of each file system per step
// instead of one per file and step: every file still reaches the disk step by
// step, so each stays valid at every moment. Returns one error per write,
// empty when it was written (or had nothing to write).
std::vector<std::string> commitGuanoWrites(std::span<GuanoFileWrite> writes);

} // namespace pelorin
