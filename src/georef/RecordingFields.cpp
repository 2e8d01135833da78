#include "georef/RecordingFields.h"

#include "georef/Uncertainty.h"
#include "text/NumberText.h"

namespace pelorin {

void RecordingFields::fill(const Recording &recording, const Placement &placement) {
    text_.clear();
    std::size_t field = 0;
    std::size_t start = 0;
    const auto next = [&] {
        spans_[field++] = {start, text_.size() - start};
        start = text_.size();
    };
    text_ += recording.filename;
    next();
    appendSpeciesList(text_, recording.species);
    next();
    // A host's row carries no text of its own: its instant in the machine's zone.
    if (!recording.timeAsGiven.empty())
        text_ += recording.timeAsGiven;
    else if (recording.hasTime())
        appendLocalText(text_, recording.recordingTime, offsets_);
    next();
    text_ += startTimeSourceName(recording.timeSource);
    next();
    const bool timed = placement.status != PlacementStatus::NoTime;
    if (timed)
        appendUtcText(text_, placement.correctedTime);
    next();
    text_ += placementStatusName(placement.status);
    next();
    if (placement.placed())
        appendFixed6(text_, placement.lat);
    next();
    if (placement.placed())
        appendFixed6(text_, placement.lon);
    next();
    if (placement.placed() && placement.elevation)
        appendDecimal(text_, *placement.elevation, 2);
    next();
    if (placement.before || placement.after)
        appendDecimal(text_, placement.secondsToNearestFix, 3);
    next();
    if (placement.before && placement.after)
        appendDecimal(text_, placement.gapSeconds, 3);
    next();
    if (placement.placed())
        appendDecimal(text_, placement.uncertaintyMetres, 1);
    next();
    text_ += recording.timeNote;
    next();
    const std::optional<LatLon> &own = recording.recorderPosition;
    if (own)
        appendFixed6(text_, own->lat);
    next();
    if (own)
        appendFixed6(text_, own->lon);
    next();
    if (own && placement.placed())
        appendDecimal(text_, distanceMetres(placement.lat, placement.lon, own->lat, own->lon), 1);
    next();
    if (timed)
        appendDecimal(text_, static_cast<double>(placement.offsetMilliseconds) / 1000.0, 3);
    next();
    if (recording.durationSeconds)
        appendDecimal(text_, *recording.durationSeconds, 3);
    next();
    if (timed)
        text_ += recordingMomentName(placement.placedAt);
    next();
    if (placement.placed())
        text_ += placement.gpsLog;
    next();
}

void RecordingFields::appendDescription(std::string &out) const {
    const RecordingFields &fields = *this;
    out.append("File ").append(fields[RecordingField::Filename]);
    const std::string_view species = fields[RecordingField::Species];
    out.append("\nSpecies ").append(species.empty() ? std::string_view("none") : species);
    const std::string_view start = fields[RecordingField::StartTime];
    out.append("\nRecorder time ").append(start.empty() ? std::string_view("none") : start);
    if (const std::string_view corrected = fields[RecordingField::CorrectedTime]; !corrected.empty())
        out.append("\nCorrected time ").append(corrected);
    out.append("\nPlacement ").append(fields[RecordingField::Status]);
    if (const std::string_view within = fields[RecordingField::UncertaintyMetres]; !within.empty())
        out.append(", within ").append(within).append(" m");
}

} // namespace pelorin
