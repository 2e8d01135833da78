#include "recordings/GuanoEdit.h"

#include "recordings/GuanoText.h"
#include "text/NumberText.h"
#include "text/TimeText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <ctime>

namespace pelorin {

namespace {

constexpr std::string_view kWrittenMark = "; written ";

std::string decimal1(double value) {
    std::array<char, 64> buffer{};
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 1);
    return ec == std::errc() ? std::string(buffer.data(), end) : std::string("0.0");
}

std::vector<std::string> diff(const std::vector<std::string> &before, const std::vector<std::string> &after) {
    std::vector<std::string> changes;
    for (const auto &line : before)
        if (std::find(after.begin(), after.end(), line) == after.end())
            changes.push_back("- " + line);
    for (const auto &line : after)
        if (std::find(before.begin(), before.end(), line) == before.end())
            changes.push_back("+ " + line);
    return changes;
}

} // namespace

PositionFields positionFields(const Placement &placement, const Recording &recording,
                              std::string_view gpxFileName, std::int32_t offsetSeconds) {
    PositionFields fields;
    fields.position = formatFixed6(placement.lat) + ' ' + formatFixed6(placement.lon);
    if (placement.elevation)
        fields.elevation = decimal1(*placement.elevation);
    fields.accuracy = decimal1(placement.uncertaintyMetres);
    fields.provenance = std::string(gpxFileName) + "; offset " + std::to_string(offsetSeconds) + " s; " +
                        std::string(placementStatusName(placement.status));
    fields.timestamp = localIsoText(recording.recordingTime);
    fields.originalFilename = recording.filename;
    return fields;
}

GuanoEdit editGuano(const std::optional<std::string> &existing, const PositionFields &fields, bool overwrite,
                    std::string_view writtenAt) {
    GuanoEdit edit;
    const GuanoText before = existing ? GuanoText(*existing) : GuanoText();
    GuanoText after = before;
    if (!existing) {
        after.set("GUANO|Version", "1.0");
        after.set("Timestamp", fields.timestamp);
        after.set("Original Filename", fields.originalFilename);
    } else if (!before.value("Timestamp") && !fields.timestamp.empty()) {
        after.set("Timestamp", fields.timestamp); // the format requires one
    }
    after.set("Loc Position", fields.position);
    if (fields.elevation)
        after.set("Loc Elevation", *fields.elevation);
    else
        after.erase("Loc Elevation"); // it belonged to the position being replaced
    after.set("Loc Accuracy", fields.accuracy);

    // The same position from the same inputs keeps its first date, so a second
    // run finds nothing to change.
    const std::string stem = fields.provenance + std::string(kWrittenMark);
    const auto previous = before.value(kProvenanceKey);
    if (existing && previous && previous->starts_with(stem)) {
        GuanoText same = after;
        same.set(kProvenanceKey, *previous);
        if (same.text() == before.text())
            return edit;
    }
    if (existing && before.value("Loc Position") && !overwrite) {
        edit.outcome = GuanoEditOutcome::HasPosition;
        return edit;
    }
    after.set(kProvenanceKey, stem + std::string(writtenAt));
    edit.outcome = GuanoEditOutcome::Changed;
    edit.text = after.text();
    edit.changes = diff(before.lines(), after.lines());
    return edit;
}

} // namespace pelorin
