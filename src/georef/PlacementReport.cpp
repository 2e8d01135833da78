#include "georef/PlacementReport.h"

#include "text/CsvField.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace pelorin {

namespace {

constexpr std::size_t kFlushBytes = 64 * 1024;

void appendRow(std::string &out, const RecordingFields &fields) {
    for (std::size_t f = 0; f < kRecordingFieldCount; ++f) {
        const auto field = static_cast<RecordingField>(f);
        if (f > 0)
            out += ',';
        if (isFormattedField(field))
            out.append(fields[field]);
        else
            appendCsvField(out, fields[field]);
    }
    out += "\r\n";
}

} // namespace

void writePlacementReport(std::span<const Recording> recordings, std::span<const Placement> placements,
                          const ByteSink &sink, std::span<const std::uint32_t> rows) {
    std::string out;
    out.reserve(kFlushBytes + 1024);
    for (const std::string_view name : kRecordingFieldNames)
        out.append(name).append(name == kRecordingFieldNames.back() ? "\r\n" : ",");
    RecordingFields fields;
    const std::size_t count = rows.empty() ? std::min(recordings.size(), placements.size()) : rows.size();
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = rows.empty() ? k : rows[k];
        fields.fill(recordings[i], placements[i]);
        appendRow(out, fields);
        if (out.size() >= kFlushBytes) {
            sink(out);
            out.clear();
        }
    }
    sink(out);
}

} // namespace pelorin
