#include "documents/GpxWriter.h"

#include "documents/ChunkedOutput.h"
#include "documents/SurveyText.h"
#include "documents/SurveyTrack.h"
#include "gpx/Coordinate.h"
#include "text/NumberText.h"

namespace pelorin {

namespace {

void startPoint(std::string &out, std::string_view element, float lat, float lon) {
    out.append("<").append(element).append(" lat=\"");
    appendFixed6(out, lat);
    out.append("\" lon=\"");
    appendFixed6(out, lon);
    out.append("\">");
}

void time(std::string &out, RecordingTime instant) {
    out.append("<time>");
    appendUtcText(out, instant);
    out.append("</time>");
}

// ele and time, in the order the schema wants them.
void startLogPoint(std::string &out, std::string_view element, const TrackPoint &point) {
    startPoint(out, element, coordinateValue(point.lat()), coordinateValue(point.lon()));
    const std::size_t before = out.size();
    out.append("<ele>");
    if (appendElevation(out, point.elevation()))
        out.append("</ele>");
    else
        out.resize(before);
    if (const auto seconds = point.time())
        time(out, *seconds);
}

void simpleElement(std::string &out, std::string_view name, std::string_view content) {
    out.append("<").append(name).append(">");
    appendXmlText(out, content);
    out.append("</").append(name).append(">");
}

void waypoints(ChunkedOutput &out, TrackView track) {
    std::size_t number = 0;
    for (std::size_t i = 0; i < track.size(); ++i) {
        const TrackPoint &point = track[i];
        if (!point.isWaypoint())
            continue;
        std::string &text = out.text();
        text.append("  ");
        startLogPoint(text, "wpt", point);
        simpleElement(text, "name", waypointName(point, ++number));
        text.append("</wpt>\n");
        out.flushIfFull();
    }
}

void recordings(ChunkedOutput &out, const SurveyDocument &survey) {
    RecordingFields fields;
    std::string scratch;
    for (std::size_t r = 0; r < survey.recordings.size(); ++r) {
        const Placement &placement = survey.placements[r];
        if (!placement.placed())
            continue;
        const Recording &recording = survey.recordings[r];
        fields.fill(recording, placement);
        std::string &text = out.text();
        text.append("  ");
        startPoint(text, "wpt", placement.lat, placement.lon);
        if (placement.elevation) {
            text.append("<ele>");
            appendDecimal(text, *placement.elevation, 2);
            text.append("</ele>");
        }
        time(text, placement.correctedTime);
        scratch.assign(recording.filename).append(" (");
        if (recording.species.empty())
            scratch.append("no species");
        appendSpeciesList(scratch, recording.species);
        scratch.append(")");
        simpleElement(text, "name", scratch);
        scratch.clear();
        fields.appendDescription(scratch);
        simpleElement(text, "desc", scratch);
        text.append("<type>recording</type></wpt>\n");
        out.flushIfFull();
    }
}

void track(ChunkedOutput &out, const SurveyDocument &survey) {
    const std::vector<TrackRun> runs = trackRuns(survey.track);
    if (runs.empty())
        return;
    out.raw("  <trk>");
    simpleElement(out.text(), "name", survey.name);
    out.raw("\n");
    for (const TrackRun &run : runs) {
        out.raw("    <trkseg>\n");
        for (std::size_t i = run.first; i < run.end; ++i) {
            const TrackPoint &point = survey.track[i];
            if (point.isWaypoint())
                continue;
            std::string &text = out.text();
            text.append("      ");
            startLogPoint(text, "trkpt", point);
            text.append("</trkpt>\n");
            out.flushIfFull();
        }
        out.raw("    </trkseg>\n");
    }
    out.raw("  </trk>\n");
}

void document(const SurveyDocument &survey, ChunkedOutput &out) {
    out.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<gpx version=\"1.1\" creator=\"Pelorin\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
            "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
            "http://www.topografix.com/GPX/1/1/gpx.xsd\">\n"
            "  <metadata>");
    simpleElement(out.text(), "name", survey.name);
    if (const std::string description = surveyDescription(survey); !description.empty())
        simpleElement(out.text(), "desc", description);
    out.raw("</metadata>\n");
    waypoints(out, survey.track);
    recordings(out, survey);
    for (const SurveyDocument &part : trackParts(survey))
        track(out, part);
    out.raw("</gpx>\n");
    out.flush();
}

} // namespace

void writeGpx(const SurveyDocument &survey, const ByteSink &sink) {
    writeChunked(sink, [&survey](ChunkedOutput &out) { document(survey, out); });
}

std::string gpxDocument(const SurveyDocument &survey) {
    return chunkedText([&survey](ChunkedOutput &out) { document(survey, out); });
}

} // namespace pelorin
