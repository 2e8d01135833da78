#include "recordings/RecordingsCsv.h"

#include "fileio/File.h"
#include "fileio/InputFile.h"
#include "recordings/CsvRecordReader.h"
#include "text/Blank.h"
#include "text/CsvField.h"
#include "text/IsoTime.h"
#include "text/NumberText.h"
#include "text/SpeciesList.h"
#include "text/TimeText.h"
#include "text/Utf8.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace pelorin {

namespace {

constexpr std::string_view utf8Bom = "\xEF\xBB\xBF";
constexpr std::array<std::string_view, 3> requiredColumns{"filename", "recording_time", "species"};
enum Column { FilenameColumn, TimeColumn, SpeciesColumn };

// A text for a message: quoted, and cut short (on a character boundary)
// when long, since a broken file can put anything there.
std::string shown(std::string_view text) {
    constexpr std::size_t maxBytes = 64;
    std::string out = "\"";
    if (text.size() <= maxBytes) {
        out.append(text);
    } else {
        std::size_t cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        out.append(text.substr(0, cut));
        out.append("...");
    }
    out.push_back('"');
    return out;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Maps each required column to its index in the header, or reports what is
// wrong with the header.
std::optional<std::array<std::size_t, 3>> readHeader(const CsvRecord &header, std::vector<CsvError> &errors) {
    if (!header.problem.empty()) {
        errors.push_back({header.problemLine, "header row: " + header.problem});
        return std::nullopt;
    }
    // What a spreadsheet set to a German locale saves: one field that holds the names.
    if (header.count == 1 && header.field(0).find(';') != std::string_view::npos) {
        errors.push_back({header.line, "the header row " + shown(header.field(0)) +
                                           " is separated by ';'; the columns must be separated by ','"});
        return std::nullopt;
    }
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    std::array<std::size_t, 3> index{none, none, none};
    std::array<std::string_view, 3> otherCase{};
    for (std::size_t i = 0; i < header.count; ++i) {
        const std::string_view name = trimmed(header.field(i));
        for (std::size_t c = 0; c < requiredColumns.size(); ++c) {
            if (name != requiredColumns[c]) {
                if (equalIgnoringAsciiCase(name, requiredColumns[c]))
                    otherCase[c] = name;
                continue;
            }
            if (index[c] != none)
                errors.push_back({header.line, "column " + shown(name) + " appears twice in the header row"});
            index[c] = i;
        }
    }
    for (std::size_t c = 0; c < requiredColumns.size(); ++c) {
        if (index[c] != none)
            continue;
        if (!otherCase[c].empty())
            errors.push_back({header.line, "column " + shown(otherCase[c]) + " must be written " +
                                               shown(requiredColumns[c]) +
                                               " (column names are case-sensitive)"});
        else
            errors.push_back(
                {header.line, "missing column " + shown(requiredColumns[c]) + " in the header row"});
    }
    if (!errors.empty())
        return std::nullopt;
    return index;
}

void addProblem(std::string &problems, const std::string &problem) {
    if (!problems.empty())
        problems.append("; ");
    problems.append(problem);
}

// The problems of a row's values, empty when it makes a recording.
std::string checkRow(std::string_view filename, std::string_view time, std::string_view species,
                     RecorderZoneChoice &zone, std::optional<RecorderZone::Reading> &parsedTime) {
    std::string problems;
    if (trimmed(filename).empty())
        addProblem(problems, "empty filename");
    else if (!isValidUtf8(filename))
        addProblem(problems, "filename is not valid UTF-8");
    else if (filename.find('\0') != std::string_view::npos)
        addProblem(problems, "filename holds a NUL character");

    if (time.empty()) {
        addProblem(problems, "empty recording_time");
    } else {
        parsedTime = zone.readIso(time);
        if (!parsedTime)
            addProblem(problems, "bad recording_time " + shown(time) +
                                     ": expected YYYY-MM-DDTHH:MM:SS, an optional fraction, then Z, +HH:MM, "
                                     "-HH:MM or nothing for local time");
    }

    if (!isValidUtf8(species))
        addProblem(problems, "species is not valid UTF-8");
    return problems;
}

} // namespace

RecordingsCsvResult parseRecordingsCsv(std::string_view text, const RecorderZone *recorderZone) {
    RecordingsCsvResult result;
    RecorderZoneChoice zone(recorderZone);
    if (text.starts_with(utf8Bom))
        text.remove_prefix(utf8Bom.size());

    CsvRecordReader reader(text);
    CsvRecord record;
    bool hasHeader = false;
    while (!hasHeader && reader.next(record))
        hasHeader = !record.isBlank();
    if (!hasHeader) {
        result.errors.push_back({1, "no header row: expected columns filename, recording_time and species"});
        return result;
    }
    const auto columns = readHeader(record, result.errors);
    if (!columns)
        return result;
    const std::size_t fieldCount = record.count;
    // Optional: a recording's length, for placing it by its middle or end.
    std::optional<std::size_t> durationColumn;
    for (std::size_t i = 0; i < record.count; ++i)
        if (trimmed(record.field(i)) == "duration_s")
            durationColumn = i;

    while (reader.next(record)) {
        if (record.isBlank())
            continue;
        if (!record.problem.empty()) {
            result.errors.push_back({record.problemLine, record.problem});
            continue;
        }
        if (record.count != fieldCount) {
            result.errors.push_back({record.line, "expected " + std::to_string(fieldCount) +
                                                      " fields, found " + std::to_string(record.count)});
            continue;
        }
        const std::string_view filename = record.field((*columns)[FilenameColumn]);
        const std::string_view species = record.field((*columns)[SpeciesColumn]);
        std::optional<RecorderZone::Reading> time;
        std::string problems =
            checkRow(filename, trimmed(record.field((*columns)[TimeColumn])), species, zone, time);
        std::optional<double> duration;
        if (durationColumn) {
            const std::string_view text = trimmed(record.field(*durationColumn));
            if (!text.empty() && !(duration = readLengthSeconds(text)))
                addProblem(problems, "bad duration_s " + shown(text) + ": expected a number of seconds");
        }
        if (!problems.empty()) {
            result.errors.push_back({record.line, problems});
            continue;
        }
        Recording recording{time->time, std::string(filename), splitSpeciesList(species, ";"),
                            std::move(time->note)};
        recording.timeSource = StartTimeSource::Catalogue;
        recording.timeAsGiven = std::string(trimmed(record.field((*columns)[TimeColumn])));
        recording.durationSeconds = duration;
        result.recordings.push_back(std::move(recording));
    }
    return result;
}

RecordingsCsvResult readRecordingsCsv(const std::string &path, const RecorderZone *recorderZone) {
    RecordingsCsvResult result;
    const auto fail = [&](const std::string &what) {
        result.errors.push_back({0, "\"" + path + "\": " + what});
        return result;
    };

    if (const std::string problem = inputFileProblem(path); !problem.empty())
        return fail(problem);

    // Opened as every input is, so a FIFO put in its place since the check cannot hang the read.
    ReadOnlyFile opened = openReadOnly(path);
    if (!opened)
        return fail(opened.problem == ReadOnlyFile::Problem::NotRegular
                        ? "is not a regular file"
                        : "cannot be read: " + opened.error.message());
    std::string text;
    char buffer[1 << 16];
    std::error_code error;
    for (;;) {
        const std::optional<std::size_t> got = opened.file.read(buffer, sizeof buffer, error);
        if (!got)
            return fail("cannot be read: " + error.message());
        if (*got == 0)
            break;
        text.append(buffer, *got);
    }
    return parseRecordingsCsv(text, recorderZone);
}

std::string recordingsCsv(const std::vector<Recording> &recordings) {
    std::string out = "filename,recording_time,species\r\n";
    std::string species;
    for (const Recording &recording : recordings) {
        appendCsvField(out, recording.filename);
        out.push_back(',');
        out.append(utcIsoText(recording.recordingTime));
        out.push_back(',');
        species.clear();
        for (std::size_t i = 0; i < recording.species.size(); ++i) {
            if (i > 0)
                species.push_back(';');
            species.append(recording.species[i]);
        }
        appendCsvField(out, species);
        out.append("\r\n");
    }
    return out;
}

} // namespace pelorin
