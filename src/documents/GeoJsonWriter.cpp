#include "documents/GeoJsonWriter.h"

#include "documents/ChunkedOutput.h"
#include "documents/JsonText.h"
#include "documents/SpeciesPalette.h"
#include "documents/SurveyText.h"
#include "documents/SurveyTrack.h"
#include "georef/GeoRef.h"
#include "georef/PlacemarkText.h"
#include "gpx/Coordinate.h"
#include "text/NumberText.h"

#include <vector>

namespace pelorin {

namespace {

void position(std::string &out, float lon, float lat) {
    out += '[';
    appendFixed6(out, lon);
    out += ',';
    appendFixed6(out, lat);
    out += ']';
}

void pointOf(std::string &out, const TrackPoint &point, bool withElevation) {
    position(out, coordinateValue(point.lon()), coordinateValue(point.lat()));
    if (withElevation) {
        out.back() = ',';
        if (!appendElevation(out, point.elevation()))
            out.pop_back();
        out += ']';
    }
}

// Features after the first are preceded by a comma.
struct FeatureList {
    bool first = true;
    void begin(std::string &out) {
        out.append(first ? "\n" : ",\n");
        first = false;
    }
};

void track(ChunkedOutput &out, FeatureList &features, const SurveyDocument &survey) {
    std::vector<TrackRun> runs = trackRuns(survey.track);
    // A LineString needs two positions; a lone fix of a segment is still in the GPX output.
    std::erase_if(runs, [](const TrackRun &run) { return run.points < 2; });
    if (runs.empty())
        return;
    std::string &head = out.text();
    features.begin(head);
    head.append("{\"type\":\"Feature\",\"properties\":{\"kind\":\"track\",\"name\":");
    appendJsonString(head, survey.name);
    head.append("},\"geometry\":{\"type\":\"MultiLineString\",\"coordinates\":[");
    for (std::size_t r = 0; r < runs.size(); ++r) {
        out.text().append(r == 0 ? "\n[" : ",\n[");
        bool firstPoint = true;
        for (std::size_t i = runs[r].first; i < runs[r].end; ++i) {
            const TrackPoint &point = survey.track[i];
            if (point.isWaypoint())
                continue;
            std::string &text = out.text();
            if (!firstPoint)
                text += ',';
            firstPoint = false;
            pointOf(text, point, survey.elevation);
            out.flushIfFull();
        }
        out.text() += ']';
    }
    out.raw("]}}");
}

void waypoints(ChunkedOutput &out, FeatureList &features, const SurveyDocument &survey) {
    std::size_t number = 0;
    for (std::size_t i = 0; i < survey.track.size(); ++i) {
        const TrackPoint &point = survey.track[i];
        if (!point.isWaypoint())
            continue;
        std::string &text = out.text();
        features.begin(text);
        text.append("{\"type\":\"Feature\",\"properties\":{\"kind\":\"waypoint\",\"name\":");
        appendJsonString(text, waypointName(point, ++number));
        if (const auto time = point.time()) {
            text.append(",\"time\":\"");
            appendUtcText(text, *time);
            text += '"';
        }
        const std::size_t before = text.size();
        text.append(",\"elevation\":");
        if (!appendElevation(text, point.elevation()))
            text.resize(before);
        text.append("},\"geometry\":{\"type\":\"Point\",\"coordinates\":");
        pointOf(text, point, false);
        text.append("}}");
        out.flushIfFull();
    }
}

void recordings(ChunkedOutput &out, FeatureList &features, const SurveyDocument &survey) {
    const SpeciesColours colours(survey.recordings);
    RecordingFields fields;
    std::string description;
    for (std::size_t r = 0; r < survey.recordings.size(); ++r) {
        const Recording &recording = survey.recordings[r];
        const Placement &placement = survey.placements[r];
        fields.fill(recording, placement);
        std::string &text = out.text();
        features.begin(text);
        text.append("{\"type\":\"Feature\",\"properties\":{\"kind\":\"recording\",\"name\":");
        appendJsonString(text, placemarkName(recording.species));
        description.clear();
        fields.appendDescription(description);
        text.append(",\"description\":");
        appendJsonString(text, description);
        for (const RecordingField field : kSurveyFields) {
            text.append(",\"").append(fieldName(field)).append("\":");
            if (isNumberField(field))
                text.append(fields[field].empty() ? std::string_view("null") : fields[field]);
            else if (isFormattedField(field))
                text.append("\"").append(fields[field]).append("\"");
            else
                appendJsonString(text, fields[field]);
        }
        text.append(",\"marker-color\":\"")
            .append(htmlColour(colours.colourOf(recording)))
            .append("\"},\"geometry\":");
        if (placement.placed()) {
            text.append("{\"type\":\"Point\",\"coordinates\":");
            position(text, placement.lon, placement.lat);
            text += '}';
        } else {
            text.append("null");
        }
        text += '}';
        out.flushIfFull();
    }
}

void document(const SurveyDocument &survey, ChunkedOutput &out) {
    std::string &head = out.text();
    head.append("{\"type\":\"FeatureCollection\",\"name\":");
    appendJsonString(head, survey.name);
    if (const std::string description = surveyDescription(survey); !description.empty()) {
        head.append(",\"description\":");
        appendJsonString(head, description);
    }
    head.append(",\"features\":[");
    FeatureList features;
    for (const SurveyDocument &part : trackParts(survey))
        track(out, features, part);
    waypoints(out, features, survey);
    recordings(out, features, survey);
    out.raw("\n]}\n");
    out.flush();
}

} // namespace

void writeGeoJson(const SurveyDocument &survey, const ByteSink &sink) {
    writeChunked(sink, [&survey](ChunkedOutput &out) { document(survey, out); });
}

std::string geoJson(const SurveyDocument &survey) {
    return chunkedText([&survey](ChunkedOutput &out) { document(survey, out); });
}

} // namespace pelorin
