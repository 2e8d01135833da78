#include "documents/SurveyKmlWriter.h"

#include "documents/ChunkedOutput.h"
#include "documents/SpeciesPalette.h"
#include "documents/SurveyText.h"
#include "documents/SurveyTrack.h"
#include "georef/GeoRef.h"
#include "georef/PlacemarkText.h"
#include "gpx/Coordinate.h"
#include "text/NumberText.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace pelorin {

namespace {

void appendCoordinates(std::string &out, float lon, float lat) {
    appendFixed6(out, lon);
    out += ',';
    appendFixed6(out, lat);
}

void styles(ChunkedOutput &out, const SpeciesColours &species) {
    out.raw("        <Style id=\"track\">\n"
            "            <LineStyle>\n"
            "                <color>b3000000</color>\n"
            "                <width>3</width>\n"
            "            </LineStyle>\n"
            "        </Style>\n"
            "        <Style id=\"waypoint\">\n"
            "            <IconStyle>\n"
            "                <scale>0.8</scale>\n"
            "            </IconStyle>\n"
            "        </Style>\n");
    const auto iconStyle = [&](std::string_view id, std::uint32_t colour) {
        std::string &text = out.text();
        text.append("        <Style id=\"").append(id).append("\">\n");
        text.append("            <IconStyle>\n                <color>").append(kmlColour(colour));
        text.append("</color>\n            </IconStyle>\n        </Style>\n");
        out.flushIfFull();
    };
    // "species-N" for the N-th species, so ids stay XML names whatever an abbreviation holds.
    for (std::size_t i = 0; i < species.names().size(); ++i)
        iconStyle("species-" + std::to_string(i), species.colour(i));
    iconStyle("no-species", kNoSpeciesColour);
}

void track(ChunkedOutput &out, const SurveyDocument &survey) {
    std::vector<TrackRun> runs = trackRuns(survey.track);
    // A line needs two points; a lone fix of a segment is still in the GPX output.
    std::erase_if(runs, [](const TrackRun &run) { return run.points < 2; });
    if (runs.empty())
        return;
    out.open(2, "Placemark");
    out.element(3, "name", survey.name);
    out.raw("            <styleUrl>#track</styleUrl>\n"
            "            <MultiGeometry>\n");
    for (const TrackRun &run : runs) {
        out.raw("                <LineString>\n");
        if (survey.tessellate)
            out.raw("                    <tessellate>1</tessellate>\n");
        out.raw("                    <coordinates>");
        // A long log's lines are made on every core.
        makeInParallel(out, run.end - run.first, [&](ChunkedOutput &into, std::size_t from, std::size_t to) {
            for (std::size_t i = run.first + from; i < run.first + to; ++i) {
                const TrackPoint &point = survey.track[i];
                if (point.isWaypoint())
                    continue;
                std::string &text = into.text();
                appendCoordinates(text, coordinateValue(point.lon()), coordinateValue(point.lat()));
                if (survey.elevation) {
                    text += ',';
                    if (!appendElevation(text, point.elevation()))
                        text.pop_back();
                }
                text += '\n';
                into.flushIfFull();
            }
        });
        out.raw("</coordinates>\n"
                "                </LineString>\n");
    }
    out.raw("            </MultiGeometry>\n"
            "        </Placemark>\n");
}

void timeStamp(std::string &text, RecordingTime instant, int depth) {
    text.append(static_cast<std::size_t>(depth) * 4, ' ');
    text.append("<TimeStamp><when>");
    appendUtcText(text, instant);
    text.append("</when></TimeStamp>\n");
}

void waypoints(ChunkedOutput &out, TrackView track) {
    std::size_t number = 0;
    for (std::size_t i = 0; i < track.size(); ++i) {
        const TrackPoint &point = track[i];
        if (!point.isWaypoint())
            continue;
        if (number++ == 0)
            out.raw("        <Folder>\n"
                    "            <name>Waypoints</name>\n");
        out.open(3, "Placemark");
        out.element(4, "name", waypointName(point, number));
        if (const auto time = point.time())
            timeStamp(out.text(), *time, 4);
        std::string &text = out.text();
        text.append("                <styleUrl>#waypoint</styleUrl>\n"
                    "                <Point><coordinates>");
        appendCoordinates(text, coordinateValue(point.lon()), coordinateValue(point.lat()));
        text.append("</coordinates></Point>\n");
        out.close(3, "Placemark");
    }
    if (number > 0)
        out.raw("        </Folder>\n");
}

void recording(ChunkedOutput &out, const Recording &recording, const Placement &placement,
               std::string_view style, RecordingFields &fields, std::string &scratch) {
    fields.fill(recording, placement);
    std::string &text = out.text();
    text.append("            <Placemark>\n                <name>");
    appendXmlText(text, placemarkName(recording.species)); // as the plain document names its pins
    text.append("</name>\n                <description>");
    scratch.clear();
    fields.appendDescription(scratch);
    appendXmlText(text, scratch);
    text.append("</description>\n");
    timeStamp(text, placement.correctedTime, 4);
    text.append("                <styleUrl>#").append(style).append("</styleUrl>\n");
    // The fields on one line: a hundred thousand recordings carry them, and
    // the description already shows them to people.
    text.append("                <ExtendedData>");
    for (const RecordingField field : kSurveyFields) {
        text.append("<Data name=\"").append(fieldName(field)).append("\"><value>");
        if (isFormattedField(field))
            text.append(fields[field]);
        else
            appendXmlText(text, fields[field]);
        text.append("</value></Data>");
    }
    text.append("</ExtendedData>\n                <Point><coordinates>");
    appendCoordinates(text, placement.lon, placement.lat);
    text.append("</coordinates></Point>\n            </Placemark>\n");
    out.flushIfFull();
}

void recordingFolders(ChunkedOutput &out, const SurveyDocument &survey, const SpeciesColours &species) {
    const std::size_t several = species.names().size();
    const std::size_t none = several + 1;
    struct Entry {
        std::uint32_t recording;
        std::uint32_t firstSpecies; // its style; `several` for none
    };
    std::vector<std::vector<Entry>> folders(none + 1);
    for (std::size_t i = 0; i < survey.recordings.size(); ++i) {
        if (!survey.placements[i].placed())
            continue;
        const std::vector<std::string> &names = survey.recordings[i].species;
        const std::size_t first = names.empty() ? several : species.indexOf(names.front());
        const std::size_t folder = names.empty() ? none : names.size() == 1 ? first : several;
        folders[folder].push_back({static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(first)});
    }
    // A recording of several species wears its first species' colour.
    std::vector<std::string> styles;
    for (std::size_t i = 0; i < several; ++i)
        styles.push_back("species-" + std::to_string(i));
    styles.push_back("no-species");
    // The folders' opening and closing lines and their recordings in order, so
    // that the list can be made on two cores: each recording's placemark is its
    // own, and a hundred thousand of them cost more than the rest together.
    constexpr std::uint32_t kOpen = UINT32_MAX, kClose = UINT32_MAX - 1;
    std::vector<Entry> items;
    for (std::size_t folder = 0; folder < folders.size(); ++folder) {
        if (folders[folder].empty())
            continue;
        items.push_back({kOpen, static_cast<std::uint32_t>(folder)});
        items.insert(items.end(), folders[folder].begin(), folders[folder].end());
        items.push_back({kClose, 0});
    }
    const auto make = [&](ChunkedOutput &into, std::size_t from, std::size_t to) {
        RecordingFields fields;
        std::string scratch;
        for (std::size_t i = from; i < to; ++i) {
            const Entry &item = items[i];
            if (item.recording == kOpen) {
                into.open(2, "Folder");
                into.element(3, "name",
                             item.firstSpecies == none ? std::string_view("No species")
                             : item.firstSpecies == several
                                 ? std::string_view("Several species")
                                 : std::string_view(species.names()[item.firstSpecies]));
            } else if (item.recording == kClose) {
                into.close(2, "Folder");
            } else {
                recording(into, survey.recordings[item.recording], survey.placements[item.recording],
                          styles[item.firstSpecies], fields, scratch);
            }
        }
    };
    makeInParallel(out, items.size(), make);
}

void document(const SurveyDocument &survey, ChunkedOutput &out) {
    const SpeciesColours species(survey.recordings);
    out.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
            "    <Document>\n");
    out.element(2, "name", survey.name);
    out.element(2, "description", surveyDescription(survey));
    styles(out, species);
    for (const SurveyDocument &part : trackParts(survey))
        track(out, part);
    waypoints(out, survey.track);
    recordingFolders(out, survey, species);
    out.raw("    </Document>\n"
            "</kml>\n");
    out.flush();
}

} // namespace

void writeSurveyKml(const SurveyDocument &survey, const ByteSink &sink) {
    writeChunked(sink, [&survey](ChunkedOutput &out) { document(survey, out); });
}

std::string surveyKml(const SurveyDocument &survey) {
    return chunkedText([&survey](ChunkedOutput &out) { document(survey, out); });
}

} // namespace pelorin
