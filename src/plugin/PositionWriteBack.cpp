#include "plugin/PositionWriteBack.h"

#include "recordings/GuanoEdit.h"
#include "recordings/GuanoFileWrite.h"
#include "text/TimeText.h"

#include <chrono>

namespace pelorin {

namespace {
// A batch keeps this many files open.
constexpr std::size_t kBatch = 256;
} // namespace

PositionWriteOutcome writeGuanoPositions(std::span<const PositionWriteItem> items,
                                         std::string_view gpxFileName, std::int32_t offsetSeconds,
                                         const std::function<bool(std::size_t done)> &progress) {
    PositionWriteOutcome outcome;
    GuanoWriteRequest request;
    request.writtenAt =
        utcIsoText(std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()));

    std::vector<GuanoFileWrite> batch;
    std::vector<const std::string *> batchPaths;
    const auto commitBatch = [&] {
        const std::vector<std::string> errors = commitGuanoWrites(batch);
        for (std::size_t i = 0; i < batch.size(); ++i) {
            if (errors[i].empty()) {
                ++outcome.written;
                outcome.changed.push_back(*batchPaths[i]);
            } else {
                outcome.refused.emplace_back(*batchPaths[i], errors[i]);
            }
        }
        batch.clear();
        batchPaths.clear();
    };
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PositionWriteItem &item = items[i];
        if (!item.placement->placed()) {
            ++outcome.notPlaced;
        } else {
            request.fields = positionFields(*item.placement, *item.recording, gpxFileName, offsetSeconds);
            GuanoFileWrite write(item.path, request);
            switch (write.plan().outcome) {
            case GuanoPlanOutcome::Refused:
                outcome.refused.emplace_back(item.path, write.plan().error);
                break;
            case GuanoPlanOutcome::Unchanged:
                ++outcome.upToDate;
                break;
            case GuanoPlanOutcome::HasPosition:
                ++outcome.kept;
                break;
            case GuanoPlanOutcome::Write:
                batch.push_back(std::move(write));
                batchPaths.push_back(&item.path);
                break;
            }
        }
        const bool last = i + 1 == items.size();
        if (batch.size() == kBatch || last)
            commitBatch();
        if ((batch.empty() || last) && progress && !progress(i + 1) && !last) {
            outcome.cancelled = true;
            break;
        }
    }
    return outcome;
}

} // namespace pelorin
