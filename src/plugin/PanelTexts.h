#pragma once

#include "documents/DocumentFormat.h"
#include "georef/OffsetDiagnosis.h"
#include "georef/Placement.h"
#include "gpx/TrackView.h"
#include "plugin/PositionWriteBack.h"

#include <QCoreApplication>
#include <QString>

#include <optional>
#include <string>
#include <vector>

// The panel's sentences: the GPS log's line, the placement summary, the
// alerts' texts and the write-back report. English as written; translated
// in the plug-in's context.
class PanelTexts {
    Q_DECLARE_TR_FUNCTIONS(QuellmarkPlugin)

public:
    // "track.gpx: 3,625 points, 2009-05-01 19:41–20:41 UTC"
    // "track.gpx + 2 more: 12,400 points, 19:41–23:02 UTC"
    static QString gpsLogLine(const QString &fileName, qsizetype moreLogs, pelorin::TrackView track);
    // "Placed 2 of 3 recordings (1 after-track)." and, when told, what the offset seems to be.
    static QString placementSummary(const std::vector<pelorin::Placement> &placements,
                                    const std::optional<pelorin::OffsetDiagnosis> &diagnosis);
    static QString noOverlapTitle();
    // Both time spans and what would make them meet.
    static QString noOverlapMessage(pelorin::TrackView track,
                                    const std::vector<pelorin::Placement> &placements, std::int32_t offset,
                                    const std::optional<pelorin::OffsetDiagnosis> &diagnosis);
    static QString exportErrorTitle();
    static QString exportErrorMessage(pelorin::OutputFormat format);
    // "Wrote positions into 20 of 22 recordings (2 not placed, 0 refused)." and the refused files, one a
    // line.
    static QString writeBackReport(const pelorin::PositionWriteOutcome &outcome, std::size_t total);
    // A sentence of the core's, as the first of a paragraph.
    static QString sentence(const std::string &text);
};
