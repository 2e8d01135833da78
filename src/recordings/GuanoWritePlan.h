#pragma once

#include "recordings/GuanoEdit.h"
#include "recordings/WavChunks.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// What identifies the version of a file a plan was made from.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

struct ByteWrite {
    std::uint64_t offset = 0;
    std::string bytes;
};

// Writes made durable together before the next step starts. After every step
// the file is a valid WAVE file holding the old or the new metadata:
//   1. the new `guan` chunk, past the RIFF's end or inside a JUNK chunk whose
//      header still hides it;
//   2. the RIFF size grown over it (RF64: ds64's), or the JUNK header turned
//      into the `guan` header: one small write either way;
//   3. the old `guan` chunk retyped as JUNK, a 4-byte write.
// A file interrupted after step 2 holds two `guan` chunks; the next run takes
// the last and retires the others.
using WriteStep = std::vector<ByteWrite>;

enum class GuanoPlanOutcome { Write, Unchanged, HasPosition, Refused };

struct GuanoWritePlan {
    GuanoPlanOutcome outcome = GuanoPlanOutcome::Refused;
    std::string error; // why the file is refused
    std::vector<WriteStep> steps;
    std::vector<std::string> changes; // "+ line" / "- line"
    bool newChunk = false;            // the file had no `guan` chunk
};

struct GuanoWriteRequest {
    PositionFields fields;
    bool overwritePositions = false;
    std::string writtenAt; // "2026-12-06T15:00:00Z"
};

// Plans putting the position into a file of fileSize bytes read through readAt.
GuanoWritePlan planGuanoWrite(std::uint64_t fileSize, const ReadAt &readAt, const GuanoWriteRequest &request);

// Where a plan's bytes go: a file, or memory in tests and fuzzing.
class WriteTarget {
public:
    virtual ~WriteTarget() = default;
    virtual bool write(std::uint64_t offset, std::string_view bytes) = 0;
    virtual bool flush() = 0; // durable before anything later is written
};

// Writes one step and makes it durable; false, with the reason, when the target fails.
bool applyWriteStep(WriteTarget &target, const WriteStep &step, std::string &error);

// Every step in order; stops at the first failure, leaving the file at the last completed step.
bool applyGuanoPlan(WriteTarget &target, const GuanoWritePlan &plan, std::string &error);

} // namespace pelorin
