#include "documents/DocumentChoice.h"

#include "documents/GeoJsonWriter.h"
#include "documents/GpxWriter.h"
#include "documents/SurveyKmlWriter.h"

namespace pelorin {

SurveyDocument surveyDocument(const KmlOptions &options, std::string_view logName, TrackView track,
                              std::span<const Recording> recordings, std::span<const Placement> placements) {
    SurveyDocument survey;
    survey.name = options.transectName.empty() ? std::string(logName) : options.transectName;
    survey.description = options.transectDesc;
    survey.track = track;
    survey.recordings = recordings;
    survey.placements = placements;
    survey.tessellate = options.tessellate;
    survey.elevation = options.elevation && options.hasElevation;
    return survey;
}

void writeChosenDocument(OutputFormat format, KmlStyle style, const SurveyDocument &survey,
                         const KmlOptions &plain, std::span<const GeoRefRecord> records,
                         const ByteSink &sink) {
    switch (format) {
    case OutputFormat::GeoJson:
        return writeGeoJson(survey, sink);
    case OutputFormat::Gpx:
        return writeGpx(survey, sink);
    case OutputFormat::Kml:
        break;
    }
    if (style == KmlStyle::Survey)
        writeSurveyKml(survey, sink);
    else
        writeKmlDocument(plain, survey.track, records, sink);
}

} // namespace pelorin
