#include "plugin/PanelTexts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <map>

using namespace pelorin;

namespace {

constexpr std::size_t kListedRefusals = 20;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString utcText(qint64 msSinceEpoch, const QString &format) {
    return QDateTime::fromMSecsSinceEpoch(msSinceEpoch, Qt::UTC).toString(format);
}

// "2009-05-01 10:00:00–10:02:00 UTC", the date repeated only when it changes.
QString spanText(qint64 firstMs, qint64 lastMs, const QString &timeFormat) {
    const QString day = QStringLiteral("yyyy-MM-dd ");
    const bool sameDay = QDateTime::fromMSecsSinceEpoch(firstMs, Qt::UTC).date() ==
                         QDateTime::fromMSecsSinceEpoch(lastMs, Qt::UTC).date();
    return utcText(firstMs, day + timeFormat) + QChar(0x2013) +
           utcText(lastMs, sameDay ? timeFormat : day + timeFormat) + QStringLiteral(" UTC");
}

// The first and last timed fix, in milliseconds since the epoch.
std::optional<std::pair<qint64, qint64>> trackSpan(TrackView track) {
    std::optional<std::pair<qint64, qint64>> span;
    for (std::size_t i = 0; i < track.size(); ++i) {
        if (const auto time = track[i].time()) {
            const qint64 ms = time->time_since_epoch().count() * 1000;
            span =
                span ? std::pair{std::min(span->first, ms), std::max(span->second, ms)} : std::pair{ms, ms};
        }
    }
    return span;
}

} // namespace

QString PanelTexts::sentence(const std::string &text) {
    QString s = fromUtf8(text);
    if (!s.isEmpty())
        s[0] = s[0].toUpper();
    return s;
}

QString PanelTexts::gpsLogLine(const QString &fileName, qsizetype moreLogs, TrackView track) {
    const QString count = QLocale(QLocale::English).toString(qulonglong(track.size()));
    QString text = fileName + (moreLogs > 0 ? tr(" + %1 more").arg(moreLogs) : QString()) +
                   QStringLiteral(": ") +
                   (track.size() == 1 ? tr("%1 point").arg(count) : tr("%1 points").arg(count));
    if (const auto span = trackSpan(track))
        text += QStringLiteral(", ") + spanText(span->first, span->second, QStringLiteral("HH:mm"));
    return text;
}

QString PanelTexts::placementSummary(const std::vector<Placement> &placements,
                                     const std::optional<OffsetDiagnosis> &diagnosis) {
    std::size_t placed = 0;
    std::map<PlacementStatus, std::size_t> notPlaced;
    for (const Placement &placement : placements) {
        if (placement.placed())
            ++placed;
        else
            ++notPlaced[placement.status];
    }
    QString text = tr("Placed %1 of %2 recordings").arg(placed).arg(placements.size());
    QStringList parts;
    for (const auto &[status, count] : notPlaced)
        parts << QStringLiteral("%1 %2").arg(count).arg(fromUtf8(placementStatusName(status)));
    if (!parts.isEmpty())
        text += QStringLiteral(" (") + parts.join(QStringLiteral(", ")) + QStringLiteral(")");
    text += QLatin1Char('.');
    if (diagnosis)
        text += QLatin1Char(' ') + sentence(diagnosisText(*diagnosis, OffsetWording::ClockOffsetField));
    return text;
}

QString PanelTexts::noOverlapTitle() {
    return tr("No time overlap");
}

QString PanelTexts::noOverlapMessage(TrackView track, const std::vector<Placement> &placements,
                                     std::int32_t offset, const std::optional<OffsetDiagnosis> &diagnosis) {
    QString message =
        tr("Time overlap between recordings and coordinates does not exist. Recordings can only "
           "be correlated with coordinates logged while they were made, once the clock offset "
           "is added.");
    const QString seconds = QStringLiteral("HH:mm:ss");
    if (const auto span = trackSpan(track))
        message +=
            QStringLiteral("\n\n") + tr("The track: %1.").arg(spanText(span->first, span->second, seconds));
    else
        message += QStringLiteral("\n\n") + tr("The GPS log holds no point with a time.");
    if (!placements.empty()) {
        const auto [first, last] = std::minmax_element(
            placements.begin(), placements.end(),
            [](const Placement &a, const Placement &b) { return a.correctedTime < b.correctedTime; });
        message +=
            QLatin1Char('\n') + tr("The recordings, with a clock offset of %1 s: %2.")
                                    .arg(offset)
                                    .arg(spanText(first->correctedTime.time_since_epoch().count(),
                                                  last->correctedTime.time_since_epoch().count(), seconds));
    }
    if (diagnosis)
        message +=
            QStringLiteral("\n\n") + sentence(diagnosisText(*diagnosis, OffsetWording::ClockOffsetField));
    return message;
}

QString PanelTexts::exportErrorTitle() {
    return tr("Export error");
}

QString PanelTexts::exportErrorMessage(OutputFormat format) {
    return tr("Couldn't write %1 file to the selected destination.").arg(QLatin1String(formatName(format)));
}

QString PanelTexts::writeBackReport(const PositionWriteOutcome &outcome, std::size_t total) {
    QString text = tr("Wrote positions into %1 of %2 recordings (%3 not placed, %4 refused")
                       .arg(outcome.written)
                       .arg(total)
                       .arg(outcome.notPlaced)
                       .arg(outcome.refused.size());
    if (outcome.upToDate > 0)
        text += tr(", %1 already up to date").arg(outcome.upToDate);
    if (outcome.kept > 0)
        text += tr(", %1 kept the position they had").arg(outcome.kept);
    text += QStringLiteral(").");
    if (outcome.cancelled)
        text += QLatin1Char(' ') + tr("Stopped before the last files.");
    for (std::size_t i = 0; i < outcome.refused.size() && i < kListedRefusals; ++i)
        text += (i == 0 ? QStringLiteral("\n\n") : QStringLiteral("\n")) +
                QDir::toNativeSeparators(QFile::decodeName(outcome.refused[i].first.c_str())) +
                QStringLiteral(": ") + fromUtf8(outcome.refused[i].second);
    if (outcome.refused.size() > kListedRefusals)
        text += QStringLiteral("\n") + tr("… and %1 more.").arg(outcome.refused.size() - kListedRefusals);
    return text;
}
