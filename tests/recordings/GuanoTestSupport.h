#pragma once

#include "recordings/GuanoWritePlan.h"
#include "recordings/WavWriter.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelorin::test {

// A file in memory; after failAfter steps (flushes), every write fails, as when the power goes.
struct MemoryTarget final : WriteTarget {
    explicit MemoryTarget(std::string &file, int failAfter = INT_MAX)
        : bytes(file)
        , failAfter(failAfter) {}
    bool write(std::uint64_t offset, std::string_view data) override {
        if (flushes >= failAfter)
            return false;
        bytes.resize(std::max(bytes.size(), static_cast<std::size_t>(offset + data.size())), '\0');
        bytes.replace(static_cast<std::size_t>(offset), data.size(), data);
        return true;
    }
    bool flush() override { return ++flushes > 0; }

    std::string &bytes;
    int failAfter, flushes = 0;
};

// An RF64 file whose sizes live in ds64.
inline std::string rf64(std::size_t audio, const std::string &guano) {
    WavWriter writer;
    writer.chunk("ds64", std::string(28, '\0')).fmt().audio(audio);
    std::string bytes = (guano.empty() ? writer : writer.guano(guano)).bytes("RF64");
    bytes.replace(20, 8, leBytes(bytes.size() - 8, 8)).replace(28, 8, leBytes(audio, 8));
    bytes.replace(4, 4, leBytes(0xFFFFFFFFu, 4)).replace(bytes.find("data") + 4, 4, leBytes(0xFFFFFFFFu, 4));
    return bytes;
}

inline GuanoWriteRequest positionRequest(std::string position = "51.123456 -1.234567",
                                         bool overwrite = true) {
    return {{std::move(position), "81.5", "6.2", "track.gpx; offset 37 s; interpolated",
             "2019-05-01T22:14:29+02:00", "a.wav"},
            overwrite,
            "2026-12-06T15:00:00Z"};
}

inline GuanoWritePlan planFor(const std::string &bytes, const GuanoWriteRequest &request) {
    const ReadAt readAt = [&bytes](std::uint64_t offset, std::size_t size, std::string &out) {
        if (offset > bytes.size() || size > bytes.size() - offset)
            return false;
        out.assign(bytes, static_cast<std::size_t>(offset), size);
        return true;
    };
    return planGuanoWrite(bytes.size(), readAt, request);
}

// Plans and writes; the plan's outcome is returned.
inline GuanoPlanOutcome writePosition(std::string &bytes, const GuanoWriteRequest &request) {
    const GuanoWritePlan plan = planFor(bytes, request);
    MemoryTarget target(bytes);
    std::string error;
    return plan.outcome == GuanoPlanOutcome::Write && !applyGuanoPlan(target, plan, error)
               ? GuanoPlanOutcome::Refused
               : plan.outcome;
}

// What a reader that keeps to the RIFF's declared size sees.
struct WavView {
    std::string error;                                     // empty when the file is well formed
    std::vector<std::pair<std::string, std::string>> kept; // every chunk but guan and JUNK, id and body
    std::optional<std::string> guano;                      // the last guan chunk's body
};

// The tests' own walk of the chunks, independent of the one under test.
inline WavView viewOf(const std::string &bytes) {
    WavView view;
    if (bytes.size() < 12 || (bytes.compare(0, 4, "RIFF") != 0 && bytes.compare(0, 4, "RF64") != 0) ||
        bytes.compare(8, 4, "WAVE") != 0)
        return {"not a WAV file", {}, {}};
    const bool rf64 = bytes[1] == 'F';
    std::uint64_t end = 8 + readLe(bytes, 4, 4), dataSize = 0;
    for (std::size_t at = 12; at + 8 <= std::min<std::uint64_t>(end, bytes.size());) {
        const std::string id = bytes.substr(at, 4);
        std::uint64_t size = readLe(bytes, at + 4, 4);
        if (rf64 && id == "ds64") { // the RIFF's size, then the audio's
            end = 8 + readLe(bytes, at + 8, 8);
            dataSize = readLe(bytes, at + 16, 8);
        }
        if (rf64 && id == "data" && size == 0xFFFFFFFFu)
            size = dataSize;
        if (at + 8 + size > std::min<std::uint64_t>(end, bytes.size())) {
            view.error = id + " truncated";
            break;
        }
        const std::string body = bytes.substr(at + 8, static_cast<std::size_t>(size));
        if (id == "ds64")
            view.kept.emplace_back(id, body.substr(8)); // but the RIFF size
        else if (id == "guan")
            view.guano = body;
        else if (id != "JUNK")
            view.kept.emplace_back(id, body);
        at += static_cast<std::size_t>(8 + size + size % 2);
    }
    if (end > bytes.size())
        view.error = "RIFF size past the end";
    return view;
}

} // namespace pelorin::test
