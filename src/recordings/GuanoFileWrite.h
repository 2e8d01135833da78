#pragma once

#include "fileio/File.h"
#include "recordings/GuanoWritePlan.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace pelorin {

// One WAV file opened for putting a position into its GUANO metadata: planned
// from what is on disk now, written later by commit(), which refuses when the
// file changed in between.
class GuanoFileWrite {
public:
    // Which file system an open file is on: its status's, or what a test says.
    using DeviceOf = std::uint64_t (*)(const FileStatus &status);
    static std::uint64_t fileSystemDevice(const FileStatus &status) { return status.device; }

    // Opens and plans; a refusal (not a WAV file, read-only, immutable, ...) is
    // in plan().outcome and plan().error.
    GuanoFileWrite(const std::string &path, const GuanoWriteRequest &request,
                   DeviceOf deviceOf = fileSystemDevice);
    GuanoFileWrite(GuanoFileWrite &&) noexcept = default;
    GuanoFileWrite &operator=(GuanoFileWrite &&) = delete;

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
    File file_;
    FileStamp stamp_;
    std::uint64_t device_ = 0;
    GuanoWritePlan plan_;
};

// Commits many prepared writes with one flush of each file system per step
// instead of one per file and step: every file still reaches the disk step by
// step, so each stays valid at every moment. Returns one error per write,
// empty when it was written (or had nothing to write). flushFileSystem is
// called once per file system and step, through its first write in the batch.
using FlushFileSystem = std::function<bool(GuanoFileWrite &write, std::string &error)>;
std::vector<std::string>
commitGuanoWrites(std::span<GuanoFileWrite> writes,
                  const FlushFileSystem &flushFileSystem = &GuanoFileWrite::flushFileSystem);

} // namespace pelorin
