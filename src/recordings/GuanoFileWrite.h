#pragma once

#include "recordings/GuanoWritePlan.h"

#include <string>

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

private:
    int fd_ = -1;
    FileStamp stamp_;
    GuanoWritePlan plan_;
};

} // namespace pelorin
