#include "plugin/QuellmarkPlugin.h"

#include "documents/DocumentChoice.h"
#include "documents/KmlWriter.h"
#include "fileio/AtomicWrite.h"
#include "fileio/File.h"
#include "framework/RecordingValue.h"
#include "framework/StringTable.h"
#include "georef/GeoRef.h"
#include "gpx/Coordinate.h"
#include "plugin/AlertPanel.h"
#include "plugin/FileDialog.h"
#include "plugin/GpxErrorText.h"
#include "plugin/GpxReadProgress.h"
#include "plugin/PositionWriteBack.h"
#include "plugin/RecordingTableModel.h"
#include "plugin/RecordingsArrayController.h"
#include "plugin/TrackPointTableModel.h"
#include "plugin/TrackPointsArrayController.h"
#include "text/NumberText.h"
#include "ui_PelorinMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>

using namespace pelorin;

namespace {

const QString kNoOverlapTitle = QStringLiteral("No time overlap");
const QString kNoOverlapMessage = QStringLiteral("Time overlap between recordings and coordinates does not "
                                                 "exist. Recordings can only be correlated with ");
// Completes the first sentence above.
const QString kNoOverlapCompletion = QStringLiteral("coordinates logged while they were made, once the clock "
                                                    "offset is added.");
const QString kExportErrorTitle = QStringLiteral("Export error");

// The alert when a document could not be written; formatName is "KML", "GeoJSON" or "GPX".
QString exportErrorMessage(QLatin1String formatName) {
    return QStringLiteral("Couldn't write %1 file to the selected destination.").arg(formatName);
}

// The Style box's entries, in the form's order.
constexpr int kSurveyStyle = 1;

constexpr int kCenterDelayMs = 1800;
constexpr int kShowTrackDelayMs = 2000;

// Columns wide enough for what they show. The recordings are few and measured;
// the track points can be a million, so their columns are sized from samples.
void sizeColumns(QTableView *recordings, QTableView *trackPoints) {
    QHeaderView *header = recordings->horizontalHeader();
    header->setSectionResizeMode(RecordingTableModel::FileColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(RecordingTableModel::TimeColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(RecordingTableModel::PlacementColumn, QHeaderView::ResizeToContents);
    const QFontMetrics metrics = trackPoints->fontMetrics();
    const int padding = 3 * metrics.averageCharWidth();
    const int coordinate = metrics.horizontalAdvance(QStringLiteral("-000.0000000")) + padding;
    trackPoints->setColumnWidth(TrackPointTableModel::LatitudeColumn, coordinate);
    trackPoints->setColumnWidth(TrackPointTableModel::LongitudeColumn, coordinate);
    trackPoints->setColumnWidth(TrackPointTableModel::TimeColumn,
                                metrics.horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + padding);
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string localPath(const QUrl &url) {
    return QFile::encodeName(url.toLocalFile()).toStdString();
}

struct Centre {
    double lat;
    double lon;
};

// The point's latitude and longitude, when it has both as numbers.
std::optional<Centre> centreOf(const TrackPoint &point) {
    const CoordinateReading lat = readLatitude(point.lat());
    const CoordinateReading lon = readLongitude(point.lon());
    if (!lat.usable() || !lon.usable())
        return std::nullopt;
    return Centre{lat.precise, lon.precise};
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

// "track.gpx: 3,625 points, 19:41–20:41 UTC"
QString gpsLogText(const QString &fileName, TrackView track) {
    QString text = fileName + QStringLiteral(": ") +
                   QLocale(QLocale::English).toString(qulonglong(track.size())) +
                   (track.size() == 1 ? QStringLiteral(" point") : QStringLiteral(" points"));
    if (const auto span = trackSpan(track))
        text += QStringLiteral(", ") + spanText(span->first, span->second, QStringLiteral("HH:mm"));
    return text;
}

QList<HostPlacement> hostPlacements(const QList<HostRecording> &recordings,
                                    const std::vector<Placement> &placements) {
    QList<HostPlacement> list;
    for (qsizetype i = 0; i < recordings.size() && static_cast<std::size_t>(i) < placements.size(); ++i) {
        const Placement &placement = placements[static_cast<std::size_t>(i)];
        HostPlacement shown;
        shown.filename = recordings[i].filename();
        shown.recordingTime = recordings[i].recordingTime();
        shown.status = fromUtf8(placementStatusName(placement.status));
        if (placement.status != PlacementStatus::NoTime)
            shown.correctedTime =
                QDateTime::fromMSecsSinceEpoch(placement.correctedTime.time_since_epoch().count(), Qt::UTC);
        shown.uncertaintyMetres = placement.uncertaintyMetres;
        shown.placed = placement.placed();
        list << shown;
    }
    return list;
}

// A sentence of the core's, as the first of a paragraph.
QString sentence(const std::string &text) {
    QString s = fromUtf8(text);
    if (!s.isEmpty())
        s[0] = s[0].toUpper();
    return s;
}

// A new, empty file in the temporary folder, left in place; empty when none
// could be made.
QString makePreviewFile() {
    const QString folder = QDir::tempPath(); // empty when the folder named by TMPDIR is missing
    if (folder.isEmpty())
        return {};
    const std::optional<std::string> made =
        createUniqueFile(QFile::encodeName(QDir(folder).filePath("quorvatixpreview.XXXXXX")).toStdString());
    return made ? QFile::decodeName(made->c_str()) : QString();
}

} // namespace

QuellmarkPlugin::QuellmarkPlugin(QObject *parent)
    : AbstractPlugin(parent) {}

QuellmarkPlugin::~QuellmarkPlugin() {
    // Widgets can only go while the application object is alive; a host that
    // unloads the plug-in after that leaves the panel to the process's end.
    if (QCoreApplication::instance())
        delete myPanel.data();
}

bool QuellmarkPlugin::init() {
    return AbstractPlugin::init();
}

QString QuellmarkPlugin::name() const {
    return hostLocalizedString("Pelorin");
}

void QuellmarkPlugin::fire(QObject *sender) {
    Q_UNUSED(sender);
    if (myPanel) {
        makeKeyAndOrderFront();
        askForGPXFile();
        return;
    }
    loadPanel();
}

bool QuellmarkPlugin::loadPanel() {
    auto *panel = new QWidget(nullptr, Qt::Window);
    ui_ = std::make_unique<Ui::PelorinMain>();
    ui_->setupUi(panel);

    myPanel = panel;
    recController = new RecordingsArrayController(this);
    recController->bind(ui_->recordingsTable);
    gpsDataController = new TrackPointsArrayController(this);
    gpsDataController->bind(ui_->trackPointsTable);
    sizeColumns(ui_->recordingsTable, ui_->trackPointsTable);
    timeDiff = ui_->timeDiff;
    transectName = ui_->transectName;
    transectDesc = ui_->transectDesc;
    tessellate = ui_->tessellate;
    elevation = ui_->elevation;
    kmlStyle = ui_->kmlStyle;
    gpsLogLabel = ui_->gpsLogLabel;
    placementSummary = ui_->placementSummary;
    applySuggestedOffset = ui_->applySuggestedOffset;
    writePositions = ui_->writePositions;
    // Whole seconds only: "abc" or "0:37" must not silently become 0.
    timeDiff->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[+-]?[0-9]{0,10}")), timeDiff));
    connect(applySuggestedOffset, &QPushButton::clicked, this, [this] {
        if (diagnosis && diagnosis->hasSuggestion())
            timeDiff->setText(QString::number(diagnosis->suggestedOffset));
    });

    panel->installEventFilter(this);
    QPushButton *exportButton = ui_->exportButton;
    QPushButton *previewButton = ui_->previewButton;
    connect(exportButton, &QPushButton::clicked, this,
            [this, exportButton] { calcDateTimeDif(exportButton); });
    connect(previewButton, &QPushButton::clicked, this, [this, previewButton] { previewMap(previewButton); });
    connect(writePositions, &QPushButton::clicked, this, [this] { writePositionsIntoRecordings(); });

    awakeFromNib();
    return true;
}

void QuellmarkPlugin::awakeFromNib() {
    makeKeyAndOrderFront();
    askForGPXFile();
}

void QuellmarkPlugin::makeKeyAndOrderFront() {
    myPanel->show();
    myPanel->raise();
    myPanel->activateWindow();
}

void QuellmarkPlugin::windowWillClose() {
    stopModal();
}

void QuellmarkPlugin::alertDidEnd(QMessageBox *alert, int returnCode, void *contextInfo) {
    Q_UNUSED(alert);
    Q_UNUSED(returnCode);
    Q_UNUSED(contextInfo);
}

bool QuellmarkPlugin::eventFilter(QObject *watched, QEvent *event) {
    if (watched == myPanel && event->type() == QEvent::Close)
        windowWillClose();
    return AbstractPlugin::eventFilter(watched, event);
}

void QuellmarkPlugin::runModalForWindow(QWidget *window) {
    modalRun_.runModalForWindow(window);
}

void QuellmarkPlugin::stopModal() {
    modalRun_.stopModal();
}

QWidget *QuellmarkPlugin::alertParent() const {
    if (myPanel)
        return myPanel;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    const auto windows = QApplication::topLevelWidgets();
    const auto main = std::find_if(windows.begin(), windows.end(), [](QWidget *w) {
        return w->isVisible() && qobject_cast<QMainWindow *>(w);
    });
    return main != windows.end() ? *main : nullptr;
}

// The GPS-log step.

// The order is kept on purpose, as users know it: the file first, then the
// selection, the empty-selection alert, and only then the read.
void QuellmarkPlugin::askForGPXFile() {
    FileDialog openPanel(myPanel);
    openPanel.setFileMode(QFileDialog::ExistingFile); // exactly one file
    openPanel.setNameFilter(QStringLiteral("GPS logs (*.gpx *.kml *.txt)"));
    // No other types: the one name filter is all the dialog offers.
    // No folders: an existing-file dialog enters folders and never chooses one.
    openPanel.setMessage(QStringLiteral("Please select the file containing your GPS log"));
    openPanel.setWindowTitle(QStringLiteral("Choose GPS data"));
    openPanel.setItemFilter([this, &openPanel](const QString &path) {
        return panelShouldEnableURL(&openPanel, QUrl::fromLocalFile(path));
    });

    if (openPanel.exec() != QDialog::Accepted || openPanel.selectedFiles().isEmpty())
        return;
    const QUrl url = QUrl::fromLocalFile(openPanel.selectedFiles().constFirst());

    // The selection is read only now that a log has been chosen.
    QList<HostRecording> recordings;
    if (HostDelegate *delegate = hostDelegate()) {
        if (RecordingsController *controller = delegate->recordingsController()) {
            if (auto selected = controller->selectedObjects())
                recordings = std::move(*selected);
        }
    }
    std::stable_sort(
        recordings.begin(), recordings.end(),
        [](const HostRecording &a, const HostRecording &b) { return a.recordingTime() < b.recordingTime(); });

    if (recordings.isEmpty()) {
        runAlertPanel(myPanel, QStringLiteral("No recordings selected"),
                      QStringLiteral("The plugin needs selected recordings to work with. Please select "
                                     "recordings and start the plugin again."));
        return;
    }
    if (!parseGPXFile(url)) {
        qWarning().noquote() << "Error: the GPS log" << url.toLocalFile() << "could not be read";
        return;
    }
    const bool fromFiles = std::any_of(recordings.cbegin(), recordings.cend(),
                                       [](const HostRecording &r) { return !r.path().isEmpty(); });
    recController->setContent(std::move(recordings));
    if (writePositions)
        writePositions->setEnabled(fromFiles);
    runModalForWindow(myPanel);
}

bool QuellmarkPlugin::panelShouldEnableURL(QFileDialog *panel, const QUrl &url) const {
    Q_UNUSED(panel);
    const QFileInfo item(url.toLocalFile());
    if (item.isDir())
        return true; // folders can be opened whatever their names
    return item.suffix().toLower() == QLatin1String("gpx");
}

bool QuellmarkPlugin::parseGPXFile(const QUrl &url) {
    GpxResult result;
    {
        GpxReadProgress progress(myPanel);
        // The points are built on another core while this one parses and keeps the window alive.
        gpxReader_.setBuildOnAnotherThread(true);
        result = gpxReader_.parseGPXFile(localPath(url), progress.callback());
    }
    if (!result.ok()) {
        // An unreadable file or a cancelled read fails quietly; the caller logs it.
        if (result.error->kind == GpxError::Kind::Parse) {
            QMessageBox *alert = alertSheet(alertParent(), QStringLiteral("Parsing Error!"),
                                            QFileInfo(url.toLocalFile()).fileName() + QStringLiteral(": ") +
                                                gpxErrorInformativeText(*result.error),
                                            QStringLiteral("OK"));
            connect(alert, &QMessageBox::finished, this,
                    [this, alert](int returnCode) { alertDidEnd(alert, returnCode, nullptr); });
            alert->open();
        }
        return false;
    }
    hasElevation = result.hasElevation;
    gpsLogName = QFileInfo(url.toLocalFile()).fileName().toStdString();
    gpsPoints = std::make_shared<const std::vector<TrackPoint>>(std::move(result.points));
    if (gpsDataController)
        gpsDataController->setContent(gpsPoints);
    // A million rows take the table a few hundredths of a second; the windows
    // are painted before the panel's own first paint adds as much again.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (elevation)
        elevation->setEnabled(hasElevation);
    if (gpsLogLabel)
        gpsLogLabel->setText(gpsLogText(QFileInfo(url.toLocalFile()).fileName(), TrackView{*gpsPoints, {}}));
    return true;
}

// Geo-referencing and output.

void QuellmarkPlugin::geoRefRecordings() {
    geoRefRecs.clear();
    placements.clear();
    diagnosis.reset();
    if (!recController || !gpsDataController)
        return;
    runRecordings = toRecordings(recController->arrangedObjects());
    const ArrangedTrack track = gpsDataController->arrangedObjects();
    const std::int32_t offset = intValue(timeDiff ? timeDiff->text().toStdString() : std::string());
    GeoRefResult result = placeRecordings(runRecordings, track.view(), offset, {},
                                          [](std::string_view line) { qInfo().noquote() << fromUtf8(line); });
    geoRefRecs = std::move(result.records);
    placements = std::move(result.placements);
    if (geoRefRecs.size() * 2 < runRecordings.size()) {
        if (OffsetDiagnosis d = diagnoseOffset(runRecordings, track.view(), offset); d.worthTelling())
            diagnosis = d;
    }
    recController->setArrangedPlacements(placements);
    showPlacementSummary();
    if (HostDelegate *delegate = hostDelegate()) {
        if (RecordingsController *host = delegate->recordingsController())
            host->showPlacements(hostPlacements(recController->arrangedObjects(), placements));
    }
}

void QuellmarkPlugin::showPlacementSummary() {
    if (!placementSummary)
        return;
    std::size_t placed = 0;
    std::map<PlacementStatus, std::size_t> notPlaced;
    for (const Placement &placement : placements) {
        if (placement.placed())
            ++placed;
        else
            ++notPlaced[placement.status];
    }
    QString text = QStringLiteral("Placed %1 of %2 recordings").arg(placed).arg(placements.size());
    QStringList parts;
    for (const auto &[status, count] : notPlaced)
        parts << QStringLiteral("%1 %2").arg(count).arg(fromUtf8(placementStatusName(status)));
    if (!parts.isEmpty())
        text += QStringLiteral(" (") + parts.join(QStringLiteral(", ")) + QStringLiteral(")");
    text += QLatin1Char('.');
    if (diagnosis)
        text += QLatin1Char(' ') + sentence(diagnosisText(*diagnosis, OffsetWording::ClockOffsetField));
    placementSummary->setText(text);
    const bool suggest = diagnosis && diagnosis->hasSuggestion();
    applySuggestedOffset->setVisible(suggest);
    if (suggest)
        applySuggestedOffset->setText(QStringLiteral("Use %1 s").arg(diagnosis->suggestedOffset));
}

// The first sentence completed, both time spans and what would make them meet.
QString QuellmarkPlugin::noOverlapMessage() const {
    QString message = kNoOverlapMessage + kNoOverlapCompletion;
    const ArrangedTrack track = gpsDataController ? gpsDataController->arrangedObjects() : ArrangedTrack{};
    const QString seconds = QStringLiteral("HH:mm:ss");
    if (const auto span = trackSpan(track.view()))
        message += QStringLiteral("\n\nThe track: ") + spanText(span->first, span->second, seconds) + '.';
    else
        message += QStringLiteral("\n\nThe GPS log holds no point with a time.");
    if (!placements.empty()) {
        const auto [first, last] = std::minmax_element(
            placements.begin(), placements.end(),
            [](const Placement &a, const Placement &b) { return a.correctedTime < b.correctedTime; });
        const std::int32_t offset = intValue(timeDiff ? timeDiff->text().toStdString() : std::string());
        message += QStringLiteral("\nThe recordings, with a clock offset of %1 s: ").arg(offset) +
                   spanText(first->correctedTime.time_since_epoch().count(),
                            last->correctedTime.time_since_epoch().count(), seconds) +
                   '.';
    }
    if (diagnosis)
        message +=
            QStringLiteral("\n\n") + sentence(diagnosisText(*diagnosis, OffsetWording::ClockOffsetField));
    return message;
}

bool QuellmarkPlugin::createKMLOutput(const QUrl &url) {
    KmlOptions options;
    options.transectName = transectName ? transectName->text().toStdString() : std::string();
    options.transectDesc = transectDesc ? transectDesc->text().toStdString() : std::string();
    options.tessellate = tessellate && tessellate->isChecked();
    options.elevation = elevation && elevation->isChecked();
    options.hasElevation = hasElevation;
    const ArrangedTrack track = gpsDataController ? gpsDataController->arrangedObjects() : ArrangedTrack{};

    const SurveyDocument survey =
        surveyDocument(options, gpsLogName, track.view(), runRecordings, placements);
    const KmlStyle style =
        kmlStyle && kmlStyle->currentIndex() == kSurveyStyle ? KmlStyle::Survey : KmlStyle::Plain;

    WriteResult written;
    const OutputFormat format = url.isLocalFile() ? formatOfPath(localPath(url)) : OutputFormat::Kml;
    if (url.isLocalFile()) {
        written = writeFileAtomically(localPath(url), [&](const ByteSink &sink) {
            writeChosenDocument(format, style, survey, options, geoRefRecs, sink);
        });
    }
    if (!written) {
        QApplication::beep();
        runAlertPanel(alertParent(), kExportErrorTitle,
                      exportErrorMessage(QLatin1String(formatName(format))));
        return false;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(url.toLocalFile())); // whether it opens is not our concern
    return true;
}

// The panel's commands.

// Both commands first ask the two lists for their selections: a list that
// cannot answer means the panel is not wired, and the command does nothing.
bool QuellmarkPlugin::listsPresent() const {
    return recController && recController->selectedObjects() && gpsDataController &&
           gpsDataController->selectedObjects();
}

// The pass, and when it placed nothing the "No time overlap" alert; true when
// something was placed.
bool QuellmarkPlugin::placeOrExplain() {
    geoRefRecordings();
    if (!geoRefRecs.empty())
        return true;
    runAlertPanel(myPanel, kNoOverlapTitle, noOverlapMessage());
    return false;
}

// The Export command: places the recordings, then asks where the document goes.
void QuellmarkPlugin::calcDateTimeDif(QObject *sender) {
    Q_UNUSED(sender);
    if (!listsPresent())
        return;

    if (placeOrExplain()) {
        FileDialog savePanel(myPanel);
        savePanel.setAcceptMode(QFileDialog::AcceptSave);
        savePanel.setWindowTitle(hostLocalizedString("Export KML file"));
        savePanel.setMessage(hostLocalizedString("Export geo referenced recordings to a KML file."));
        savePanel.setOption(QFileDialog::ReadOnly, false); // the user can create folders
        // KML first, as always; the name's suffix follows the chosen kind.
        const QStringList filters{QStringLiteral("KML files (*.kml)"),
                                  QStringLiteral("GeoJSON files (*.geojson)"),
                                  QStringLiteral("GPX files (*.gpx)")};
        const QStringList suffixes{QStringLiteral("kml"), QStringLiteral("geojson"), QStringLiteral("gpx")};
        savePanel.setNameFilters(filters);
        savePanel.setDefaultSuffix(suffixes.front());
        connect(&savePanel, &QFileDialog::filterSelected, &savePanel, [&](const QString &filter) {
            savePanel.setDefaultSuffix(suffixes.value(filters.indexOf(filter), suffixes.front()));
        });
        if (savePanel.exec() == QDialog::Accepted && !savePanel.selectedFiles().isEmpty())
            createKMLOutput(QUrl::fromLocalFile(savePanel.selectedFiles().constFirst()));
    }
    // Every export ends the run, whatever became of it.
    if (myPanel)
        myPanel->close();
}

void QuellmarkPlugin::previewMap(QObject *sender) {
    if (!listsPresent())
        return;

    if (!placeOrExplain())
        return;
    const QString path = makePreviewFile();
    if (path.isEmpty()) {
        runAlertPanel(myPanel, kExportErrorTitle,
                      exportErrorMessage(QLatin1String("KML"))); // previews are KML
        return;
    }
    createKMLOutput(QUrl::fromLocalFile(path));
    stopModal();

    if (mapDisplay.isNull()) {
        if (HostDelegate *delegate = hostDelegate())
            mapDisplay = delegate->centralMapDisplay();
        if (mapDisplay) {
            // The first selected point; with none selected, the first one shown.
            std::optional<Centre> centre;
            const auto selected = gpsDataController->selectedObjects();
            const ArrangedTrack arranged = gpsDataController->arrangedObjects();
            if (selected && !selected->empty())
                centre = centreOf(*selected->front());
            else if (!arranged.view().empty())
                centre = centreOf(arranged.view()[0]);
            if (centre) {
                MapDisplay *display = mapDisplay;
                QTimer::singleShot(kCenterDelayMs, display,
                                   [display, at = *centre] { display->setCenter(at.lat, at.lon); });
            }
        }
    }
    if (mapDisplay) {
        MapDisplay *display = mapDisplay;
        display->showWindow(sender);
        QTimer::singleShot(kShowTrackDelayMs, display, [display, path] { display->showTrack(path); });
    }
}

// Writing the positions into the recordings.

namespace {

constexpr std::size_t kListedRefusals = 20;
constexpr int kProgressDelayMs = 500;

// "Wrote positions into 20 of 22 recordings (2 not placed, 0 refused)." and the refused files, one a line.
QString writeBackReport(const PositionWriteOutcome &outcome, std::size_t total) {
    QString text = QStringLiteral("Wrote positions into %1 of %2 recordings (%3 not placed, %4 refused")
                       .arg(outcome.written)
                       .arg(total)
                       .arg(outcome.notPlaced)
                       .arg(outcome.refused.size());
    if (outcome.upToDate > 0)
        text += QStringLiteral(", %1 already up to date").arg(outcome.upToDate);
    if (outcome.kept > 0)
        text += QStringLiteral(", %1 kept the position they had").arg(outcome.kept);
    text += QStringLiteral(").");
    if (outcome.cancelled)
        text += QStringLiteral(" Stopped before the last files.");
    for (std::size_t i = 0; i < outcome.refused.size() && i < kListedRefusals; ++i)
        text += (i == 0 ? QStringLiteral("\n\n") : QStringLiteral("\n")) +
                QDir::toNativeSeparators(QFile::decodeName(outcome.refused[i].first.c_str())) +
                QStringLiteral(": ") + fromUtf8(outcome.refused[i].second);
    if (outcome.refused.size() > kListedRefusals)
        text += QStringLiteral("\n… and %1 more.").arg(outcome.refused.size() - kListedRefusals);
    return text;
}

} // namespace

void QuellmarkPlugin::writePositionsIntoRecordings() {
    if (!listsPresent())
        return;
    if (!placeOrExplain())
        return;
    // The rows read from files, with their recordings and placements in the pass's order.
    const QList<HostRecording> arranged = recController->arrangedObjects();
    std::vector<PositionWriteItem> items;
    std::size_t placed = 0;
    for (qsizetype i = 0; i < arranged.size() && static_cast<std::size_t>(i) < placements.size(); ++i) {
        if (arranged[i].path().isEmpty())
            continue;
        const auto at = static_cast<std::size_t>(i);
        items.push_back(
            {QFile::encodeName(arranged[i].path()).toStdString(), &runRecordings[at], &placements[at]});
        placed += placements[at].placed() ? 1 : 0;
    }
    if (items.empty())
        return;

    const QString title = QStringLiteral("Write positions into recordings");
    QMessageBox confirm(myPanel);
    confirm.setWindowModality(Qt::ApplicationModal);
    confirm.setIcon(QMessageBox::Question);
    confirm.setWindowTitle(title);
    confirm.setText(title);
    confirm.setInformativeText(
        QStringLiteral("%1 of %2 recordings are placed: their WAV files get the position in their GUANO "
                       "metadata. %3 not placed are left as they are. Only the metadata changes, never the "
                       "audio.")
            .arg(placed)
            .arg(items.size())
            .arg(items.size() - placed));
    QPushButton *write = confirm.addButton(QStringLiteral("Write"), QMessageBox::AcceptRole);
    confirm.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    confirm.setDefaultButton(write);
    confirm.exec();
    if (confirm.clickedButton() != write)
        return;

    QProgressDialog progress(QStringLiteral("Writing positions into recordings…"), QStringLiteral("Stop"), 0,
                             static_cast<int>(items.size()), myPanel);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    const std::int32_t offset = intValue(timeDiff ? timeDiff->text().toStdString() : std::string());
    const PositionWriteOutcome outcome =
        writeGuanoPositions(items, gpsLogName, offset, [&progress](std::size_t done) {
            progress.setValue(static_cast<int>(done));
            return !progress.wasCanceled();
        });
    progress.reset();

    if (HostDelegate *delegate = hostDelegate()) {
        if (RecordingsController *host = delegate->recordingsController(); host && !outcome.changed.empty()) {
            QStringList changed;
            for (const std::string &path : outcome.changed)
                changed << QFile::decodeName(path.c_str());
            host->filesChanged(changed);
        }
    }
    runAlertPanel(myPanel, title, writeBackReport(outcome, items.size()));
}
