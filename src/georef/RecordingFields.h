#pragma once

#include "georef/Placement.h"
#include "georef/Recording.h"
#include "text/SpeciesList.h"
#include "text/TimeText.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelorin {

// A recording's fields as every output names and writes them: the placement
// report, the survey KML and GeoJSON. One formatter, so they cannot disagree.
enum class RecordingField : std::uint8_t {
    Filename,
    Species,
    StartTime, // as its source gave it
    TimeSource,
    CorrectedTime,
    Status,
    Latitude,
    Longitude,
    Elevation,
    SecondsToFix,
    GapSeconds,
    UncertaintyMetres,
    TimeNote,
    RecorderLatitude, // where the recorder says it was
    RecorderLongitude,
    RecorderDistanceMetres, // from the pin to there
    OffsetSeconds,          // the offset applied to this recording
    DurationSeconds,
    PlacedAt, // the moment of the recording placed: start, middle or end
    GpsLog,   // the file the fixes around it came from
};

inline constexpr std::size_t kRecordingFieldCount = 20;

inline constexpr std::array<std::string_view, kRecordingFieldCount> kRecordingFieldNames{
    "filename",           "species",
    "start_time",         "time_source",
    "corrected_time",     "status",
    "latitude",           "longitude",
    "elevation",          "seconds_to_fix",
    "gap_seconds",        "uncertainty_m",
    "time_note",          "recorder_latitude",
    "recorder_longitude", "recorder_distance_m",
    "offset_seconds",     "duration_s",
    "placed_at",          "gps_log"};

constexpr std::string_view fieldName(RecordingField field) {
    return kRecordingFieldNames[static_cast<std::size_t>(field)];
}

// Fields that are numbers when not empty (JSON writes them unquoted).
constexpr bool isNumberField(RecordingField field) {
    return (field >= RecordingField::Latitude && field <= RecordingField::UncertaintyMetres) ||
           (field >= RecordingField::RecorderLatitude && field <= RecordingField::DurationSeconds);
}

// Fields whose text this formatter makes itself (times, names, numbers): plain
// ASCII that no CSV, XML or JSON text needs to quote or escape.
constexpr bool isFormattedField(RecordingField field) {
    return field != RecordingField::Filename && field != RecordingField::Species &&
           field != RecordingField::StartTime && field != RecordingField::TimeNote &&
           field != RecordingField::GpsLog;
}

// The survey documents carry the position as geometry and leave the note to
// the report; the rest in the report's order.
inline constexpr std::array<RecordingField, 15> kSurveyFields{RecordingField::Filename,
                                                              RecordingField::Species,
                                                              RecordingField::StartTime,
                                                              RecordingField::TimeSource,
                                                              RecordingField::CorrectedTime,
                                                              RecordingField::Status,
                                                              RecordingField::Elevation,
                                                              RecordingField::SecondsToFix,
                                                              RecordingField::GapSeconds,
                                                              RecordingField::UncertaintyMetres,
                                                              RecordingField::RecorderLatitude,
                                                              RecordingField::RecorderLongitude,
                                                              RecordingField::RecorderDistanceMetres,
                                                              RecordingField::OffsetSeconds,
                                                              RecordingField::GpsLog};

// One recording's field texts, in a buffer reused from one recording to the
// next so a hundred thousand of them allocate nothing. A field with no value
// (the position of a recording not placed, the gap without two fixes) is "".
class RecordingFields {
public:
    void fill(const Recording &recording, const Placement &placement);

    std::string_view operator[](RecordingField field) const noexcept {
        const auto [start, size] = spans_[static_cast<std::size_t>(field)];
        return std::string_view(text_).substr(start, size);
    }
    // "File …\nSpecies …\nRecorder time …\nCorrected time …\nPlacement …", for people.
    void appendDescription(std::string &out) const;

private:
    std::string text_;
    UtcOffsets offsets_;
    std::array<std::pair<std::size_t, std::size_t>, kRecordingFieldCount> spans_{};
};

} // namespace pelorin
