#include "recordings/GuanoWritePlan.h"

#include <algorithm>

namespace pelorin {

namespace {

constexpr std::uint64_t kMaxGuanoChunk = 1 << 20;
// Bytes past the RIFF's end we accept, when they are all NUL: some recorders pad
// their files to a block size.
constexpr std::uint64_t kMaxTrailingPadding = 1 << 16;
// A reused JUNK chunk more than this larger than the text is split (the rest
// stays JUNK, at least its 8-byte header) rather than filled with blanks.
constexpr std::uint64_t kMaxBlankFill = 64;
constexpr std::size_t kAppendRounding = 32;

GuanoWritePlan refused(std::string why) {
    GuanoWritePlan plan;
    plan.error = std::move(why);
    return plan;
}

std::string header(std::string_view id, std::uint64_t size) {
    return std::string(id) + le32Bytes(static_cast<std::uint32_t>(size));
}

// Our own retired metadata, or junk after the audio; a JUNK chunk ahead of the
// audio may be a recorder's reserve for growing into RF64 and is left alone.
bool reusable(const WavChunk &chunk, std::uint64_t dataOffset, const ReadAt &readAt) {
    if (chunk.id != "JUNK" || chunk.truncated || chunk.size % 2 != 0)
        return false;
    if (chunk.offset > dataOffset)
        return true;
    std::string start;
    return chunk.size >= 6 && readAt(chunk.body(), 6, start) && start == "GUANO|";
}

} // namespace

GuanoWritePlan planGuanoWrite(std::uint64_t fileSize, const ReadAt &readAt,
                              const GuanoWriteRequest &request) {
    const WavChunks walk = walkWavChunks(fileSize, readAt, WalkLimit::RiffEnd);
    if (!walk.error.empty())
        return refused(walk.error);
    if (walk.rf64 && !walk.ds64Offset)
        return refused("RF64 file without a ds64 chunk");
    const std::uint64_t riffEnd = walk.riffEnd();
    if (riffEnd > fileSize || walk.riffSize < 4)
        return refused("the file is shorter than its RIFF header says (cut short?)");

    const auto find = [&](std::string_view id) {
        return std::find_if(walk.chunks.begin(), walk.chunks.end(),
                            [id](const WavChunk &c) { return c.id == id; });
    };
    const auto fmt = find("fmt ");
    if (fmt == walk.chunks.end())
        return refused("no fmt chunk");
    if (fmt->size < 16 || fmt->truncated)
        return refused("the fmt chunk is cut short");
    const auto data = find("data");
    if (data == walk.chunks.end())
        return refused("no data chunk");
    for (const WavChunk &chunk : walk.chunks) {
        if (chunk.truncated)
            return refused("the " + chunk.id + " chunk's size runs past the end of the file");
    }
    if (const std::uint64_t last = walk.chunks.empty() ? 12 : walk.chunks.back().end(); last < riffEnd)
        return refused("stray bytes after the last chunk, inside the RIFF");
    if (fileSize - riffEnd > kMaxTrailingPadding)
        return refused(std::to_string(fileSize - riffEnd) + " bytes follow the RIFF's end");
    const std::string pad(riffEnd % 2, '\0'); // a last chunk written without its pad byte
    bool leftover = false; // a chunk of ours from a run that stopped before growing the RIFF
    if (fileSize > riffEnd) {
        std::string tail;
        if (!readAt(riffEnd, static_cast<std::size_t>(fileSize - riffEnd), tail))
            return refused("the bytes after the RIFF's end cannot be read");
        leftover = tail.starts_with(pad + "guan");
        if (!leftover && tail.find_first_not_of('\0') != std::string::npos)
            return refused("data follows the RIFF's end");
    }

    std::vector<WavChunk> guans;
    std::copy_if(walk.chunks.begin(), walk.chunks.end(), std::back_inserter(guans),
                 [](const WavChunk &c) { return c.id == "guan"; });
    std::optional<std::string> existing;
    if (!guans.empty()) {
        const WavChunk &current = guans.back(); // after an interrupted run, the newer one
        if (current.size > kMaxGuanoChunk)
            return refused("the guan chunk is implausibly large");
        existing.emplace();
        if (!readAt(current.body(), static_cast<std::size_t>(current.size), *existing))
            return refused("the guan chunk cannot be read");
    }

    GuanoEdit edit = editGuano(existing, request.fields, request.overwritePositions, request.writtenAt);
    GuanoWritePlan plan;
    plan.newChunk = !existing;
    if (edit.outcome != GuanoEditOutcome::Changed) {
        plan.outcome = edit.outcome == GuanoEditOutcome::Unchanged ? GuanoPlanOutcome::Unchanged
                                                                   : GuanoPlanOutcome::HasPosition;
        return plan;
    }
    plan.outcome = GuanoPlanOutcome::Write;
    plan.changes = std::move(edit.changes);
    std::string body = std::move(edit.text);
    if (body.size() % 2 != 0)
        body.push_back(' '); // the format pads with blanks to keep chunks even

    const auto slot = std::find_if(walk.chunks.begin(), walk.chunks.end(), [&](const WavChunk &c) {
        return c.size >= body.size() && reusable(c, data->offset, readAt);
    });
    if (slot != walk.chunks.end()) {
        WriteStep fill;
        if (slot->size - body.size() <= kMaxBlankFill) {
            body.resize(static_cast<std::size_t>(slot->size), ' ');
        } else {
            fill.push_back({slot->body() + body.size(), header("JUNK", slot->size - body.size() - 8)});
        }
        fill.insert(fill.begin(), {slot->body(), body});
        plan.steps.push_back(std::move(fill));
        plan.steps.push_back({{slot->offset, header("guan", body.size())}});
    } else {
        // Room to spare, so that the next position, a few digits longer, fits where this one was.
        body.resize((body.size() + kAppendRounding - 1) / kAppendRounding * kAppendRounding, ' ');
        const std::uint64_t newRiffEnd = riffEnd + pad.size() + 8 + body.size();
        if (!walk.rf64 && newRiffEnd - 8 > 0xFFFFFFFFu)
            return refused("the metadata would take the file past the 4 GiB a RIFF file can hold");
        std::string chunk = pad + header("guan", body.size()) + body;
        if (leftover && fileSize > newRiffEnd)
            chunk.resize(static_cast<std::size_t>(fileSize - riffEnd),
                         '\0'); // what is past the RIFF stays NUL
        plan.steps.push_back({{riffEnd, std::move(chunk)}});
        plan.steps.push_back({walk.rf64
                                  ? ByteWrite{*walk.ds64Offset, le64Bytes(newRiffEnd - 8)}
                                  : ByteWrite{4, le32Bytes(static_cast<std::uint32_t>(newRiffEnd - 8))}});
    }
    if (!guans.empty()) {
        WriteStep retire;
        for (const WavChunk &old : guans)
            retire.push_back({old.offset, "JUNK"});
        plan.steps.push_back(std::move(retire));
    }
    return plan;
}

bool applyWriteStep(WriteTarget &target, const WriteStep &step, std::string &error) {
    for (const ByteWrite &write : step) {
        if (!target.write(write.offset, write.bytes)) {
            error = "cannot write";
            return false;
        }
    }
    if (!target.flush()) {
        error = "cannot flush to the disk";
        return false;
    }
    return true;
}

bool applyGuanoPlan(WriteTarget &target, const GuanoWritePlan &plan, std::string &error) {
    return std::all_of(plan.steps.begin(), plan.steps.end(),
                       [&](const WriteStep &step) { return applyWriteStep(target, step, error); });
}

} // namespace pelorin
