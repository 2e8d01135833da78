#include "georef/PlacementReport.h"

#include "georef/NumberText.h"
#include "georef/TimeText.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <string>

namespace pelorin {

namespace {

constexpr std::size_t kFlushBytes = 64 * 1024;

void appendField(std::string &out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(field);
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendFixed(std::string &out, double value, int decimals) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error == std::errc())
        out.append(buffer, end);
}

void appendRow(std::string &out, const Recording &recording, const Placement &placement) {
    appendField(out, recording.filename);
    out += ',';
    std::string species;
    for (const std::string &abbreviation : recording.species) {
        if (!species.empty())
            species += ';';
        species += abbreviation;
    }
    appendField(out, species);
    out += ',';
    appendField(out, recording.timeAsGiven);
    out += ',';
    appendField(out, startTimeSourceName(recording.timeSource));
    out += ',';
    const bool timed = placement.status != PlacementStatus::NoTime;
    if (timed)
        out += utcIsoText(placement.correctedTime);
    out += ',';
    out += placementStatusName(placement.status);
    out += ',';
    if (placement.placed()) {
        appendFixed6(out, placement.lat);
        out += ',';
        appendFixed6(out, placement.lon);
    } else {
        out += ',';
    }
    out += ',';
    if (placement.placed() && placement.elevation)
        appendFixed(out, *placement.elevation, 1);
    out += ',';
    if (placement.before || placement.after)
        appendFixed(out, placement.secondsToNearestFix, 3);
    out += ',';
    if (placement.before && placement.after)
        appendFixed(out, placement.gapSeconds, 0);
    out += ',';
    if (placement.placed())
        appendFixed(out, placement.uncertaintyMetres, 1);
    out += ',';
    appendField(out, recording.timeNote);
    out += "\r\n";
}

} // namespace

void writePlacementReport(std::span<const Recording> recordings, std::span<const Placement> placements,
                          const ByteSink &sink, std::span<const std::uint32_t> rows) {
    std::string out;
    out.reserve(kFlushBytes + 1024);
    out.append(kPlacementReportHeader).append("\r\n");
    const std::size_t count = rows.empty() ? std::min(recordings.size(), placements.size()) : rows.size();
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = rows.empty() ? k : rows[k];
        appendRow(out, recordings[i], placements[i]);
        if (out.size() >= kFlushBytes) {
            sink(out);
            out.clear();
        }
    }
    sink(out);
}

} // namespace pelorin
