#include "plugin/QuellmarkPlugin.h"

#include "documents/DocumentChoice.h"
#include "documents/KmlWriter.h"
#include "documents/SurveyTrack.h"
#include "fileio/AtomicWrite.h"
#include "fileio/File.h"
#include "framework/StringTable.h"
#include "georef/GeoRef.h"
#include "georef/GpsLogNames.h"
#include "gpx/Coordinate.h"
#include "plugin/AlertPanel.h"
#include "plugin/FileDialog.h"
#include "plugin/GpxErrorText.h"
#include "plugin/GpxReadProgress.h"
#include "plugin/PanelTexts.h"
#include "plugin/RecordingTableModel.h"
#include "plugin/RecordingsArrayController.h"
#include "plugin/TrackPointTableModel.h"
#include "plugin/TrackPointsArrayController.h"
#include "text/NumberText.h"
#include "ui_PelorinMain.h"
#include "util/NumericalCompare.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
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

// The Style box's entries, in the form's order.
constexpr int kSurveyStyle = 1;

// The map hears where to look, then what to show, once the command has returned and the panel's modal
// run has ended: hosts have always had the two messages after these delays, the centre first. Timed
// precisely: a coarse timer may add a twentieth to the wait.
constexpr int kCenterDelayMs = 1800;
constexpr int kShowTrackDelayMs = 2000;

// Columns wide enough for what they show. The recordings are measured, the
// first hundred rows of them: a season can be a hundred thousand, and each
// change of the table measures again. The track points can be a million, so
// their columns are sized from samples.
constexpr int kMeasuredRecordings = 100;

void sizeColumns(QTableView *recordings, QTableView *trackPoints) {
    QHeaderView *header = recordings->horizontalHeader();
    header->setResizeContentsPrecision(kMeasuredRecordings);
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

// The recordings (the content's rows in arranged order) with their placements.
QList<HostPlacement> hostPlacements(const QList<HostRecording> &content,
                                    const std::vector<std::uint32_t> &rows,
                                    const std::vector<Placement> &placements) {
    QList<HostPlacement> list;
    list.reserve(static_cast<qsizetype>(std::min(rows.size(), placements.size())));
    std::map<PlacementStatus, QString> statusNames; // one text each, shared by the rows
    for (std::size_t i = 0; i < rows.size() && i < placements.size(); ++i) {
        const HostRecording &recording = content[static_cast<qsizetype>(rows[i])];
        const Placement &placement = placements[i];
        HostPlacement shown;
        shown.filename = recording.filename();
        shown.recordingTime = recording.recordingTime();
        auto status = statusNames.find(placement.status);
        if (status == statusNames.end())
            status =
                statusNames.emplace(placement.status, fromUtf8(placementStatusName(placement.status))).first;
        shown.status = status->second;
        if (placement.status != PlacementStatus::NoTime)
            shown.correctedTime =
                QDateTime::fromMSecsSinceEpoch(placement.correctedTime.time_since_epoch().count(), Qt::UTC);
        shown.uncertaintyMetres = placement.uncertaintyMetres;
        shown.placed = placement.placed();
        list << shown;
    }
    return list;
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
    // Whole seconds only: "abc" or "0:37" must not silently become 0.
    ui_->timeDiff->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[+-]?[0-9]{0,10}")), ui_->timeDiff));
    connect(ui_->applySuggestedOffset, &QPushButton::clicked, this, [this] {
        if (diagnosis && diagnosis->hasSuggestion())
            ui_->timeDiff->setText(QString::number(diagnosis->suggestedOffset));
    });

    panel->installEventFilter(this);
    QPushButton *exportButton = ui_->exportButton;
    QPushButton *previewButton = ui_->previewButton;
    connect(exportButton, &QPushButton::clicked, this,
            [this, exportButton] { calcDateTimeDif(exportButton); });
    connect(previewButton, &QPushButton::clicked, this, [this, previewButton] { previewMap(previewButton); });
    connect(ui_->writePositions, &QPushButton::clicked, this, [this] { writePositionsIntoRecordings(); });

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
    openPanel.setFileMode(QFileDialog::ExistingFiles); // one log, or a season's
    openPanel.setNameFilter(tr("GPS logs (*.gpx *.kml *.txt)"));
    // No other types: the one name filter is all the dialog offers.
    // No folders: an existing-file dialog enters folders and never chooses one.
    openPanel.setMessage(tr("Please select the file containing your GPS log"));
    openPanel.setWindowTitle(tr("Choose GPS data"));
    openPanel.setItemFilter([this, &openPanel](const QString &path) {
        return panelShouldEnableURL(&openPanel, QUrl::fromLocalFile(path));
    });

    if (openPanel.exec() != QDialog::Accepted || openPanel.selectedFiles().isEmpty())
        return;
    QStringList files = openPanel.selectedFiles();
    std::stable_sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        return numericalCompare(QFileInfo(a).fileName(), QFileInfo(b).fileName()) < 0;
    });
    QList<QUrl> urls;
    for (const QString &file : files)
        urls << QUrl::fromLocalFile(file);

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
        runAlertPanel(
            myPanel, tr("No recordings selected"),
            tr("The plugin needs selected recordings to work with. Please select recordings and start "
               "the plugin again."));
        return;
    }
    if (!parseGPXFiles(urls)) {
        qWarning().noquote() << "Error: the GPS logs" << files.join(QStringLiteral(", "))
                             << "could not be read";
        return;
    }
    const bool fromFiles = std::any_of(recordings.cbegin(), recordings.cend(),
                                       [](const HostRecording &r) { return !r.path().isEmpty(); });
    recController->setContent(std::move(recordings));
    ui_->writePositions->setEnabled(fromFiles);
    runModalForWindow(myPanel);
}

bool QuellmarkPlugin::panelShouldEnableURL(QFileDialog *panel, const QUrl &url) const {
    Q_UNUSED(panel);
    const QFileInfo item(url.toLocalFile());
    if (item.isDir())
        return true; // folders can be opened whatever their names
    return item.suffix().toLower() == QLatin1String("gpx");
}

bool QuellmarkPlugin::parseGPXFiles(const QList<QUrl> &urls) {
    std::vector<GpxResult> logs;
    for (const QUrl &url : urls) {
        GpxResult result;
        {
            GpxReadProgress progress(myPanel);
            // Expat checks the log on another core while this one finds its points and keeps the
            // window alive.
            gpxReader_.setReadOnTwoCores(true);
            result = gpxReader_.parseGPXFile(localPath(url), progress.callback());
        }
        if (!result.ok()) {
            // An unreadable file or a cancelled read fails quietly; the caller logs it.
            if (result.error->kind == GpxError::Kind::Parse) {
                QMessageBox *alert =
                    alertSheet(alertParent(), tr("Parsing Error!"),
                               QFileInfo(url.toLocalFile()).fileName() + QStringLiteral(": ") +
                                   gpxErrorInformativeText(*result.error),
                               tr("OK"));
                connect(alert, &QMessageBox::finished, this,
                        [this, alert](int returnCode) { alertDidEnd(alert, returnCode, nullptr); });
                alert->open();
            }
            return false;
        }
        logs.push_back(std::move(result));
    }
    gpsLogNames.clear();
    for (const QUrl &url : urls)
        gpsLogNames.push_back(QFileInfo(url.toLocalFile()).fileName().toStdString());
    if (logs.size() == 1) {
        hasElevation = logs.front().hasElevation;
        gpsPoints = std::make_shared<const std::vector<TrackPoint>>(std::move(logs.front().points));
        gpsLogs = {};
    } else {
        gpsLogs = mergeLogs(std::move(logs));
        hasElevation = gpsLogs.hasElevation;
        gpsPoints = std::make_shared<const std::vector<TrackPoint>>(std::move(gpsLogs.points));
    }
    if (gpsDataController) {
        TrackPointTableModel::LogStarts starts; // none with one log: no file column
        for (const LogSpan &span : gpsLogs.spans)
            starts.push_back({span.first, QString::fromStdString(gpsLogNames[span.log])});
        gpsDataController->setContent(gpsPoints, std::move(starts));
    }
    // A million rows take the table a few hundredths of a second; the windows
    // are painted before the panel's own first paint adds as much again.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (ui_) {
        ui_->elevation->setEnabled(hasElevation);
        ui_->gpsLogLabel->setText(
            PanelTexts::gpsLogLine(QFileInfo(urls.constFirst().toLocalFile()).fileName(), urls.size() - 1,
                                   TrackView{*gpsPoints, {}}));
    }
    return true;
}

// Geo-referencing and output.

void QuellmarkPlugin::geoRefRecordings() {
    geoRefRecs.clear();
    placements.clear();
    diagnosis.reset();
    if (!recController || !gpsDataController)
        return;
    runRecordings = recController->arrangedRecordings();
    const ArrangedTrack track = gpsDataController->arrangedObjects();
    const std::int32_t offset = clockOffset();
    GeoRefResult result = placeRecordings(runRecordings, track.view(), offset, {},
                                          [](std::string_view line) { qInfo().noquote() << fromUtf8(line); });
    geoRefRecs = std::move(result.records);
    placements = std::move(result.placements);
    nameGpsLogs(placements, gpsLogNames, gpsLogs);
    if (geoRefRecs.size() * 2 < runRecordings.size()) {
        if (OffsetDiagnosis d = diagnoseOffset(runRecordings, track.view(), offset); d.worthTelling())
            diagnosis = d;
    }
    recController->setArrangedPlacements(placements);
    showPlacementSummary();
    if (HostDelegate *delegate = hostDelegate()) {
        if (RecordingsController *host = delegate->recordingsController())
            host->showPlacements(
                hostPlacements(recController->content(), recController->arrangedRows(), placements));
    }
}

void QuellmarkPlugin::showPlacementSummary() {
    ui_->placementSummary->setText(PanelTexts::placementSummary(placements, diagnosis));
    const bool suggest = diagnosis && diagnosis->hasSuggestion();
    ui_->applySuggestedOffset->setVisible(suggest);
    if (suggest)
        ui_->applySuggestedOffset->setText(tr("Use %1 s").arg(diagnosis->suggestedOffset));
}

// What the offset field says; none before the panel is loaded.
std::int32_t QuellmarkPlugin::clockOffset() const {
    return ui_ ? intValue(ui_->timeDiff->text().toStdString()) : 0;
}

bool QuellmarkPlugin::createKMLOutput(const QUrl &url) {
    KmlOptions options;
    bool surveyStyle = false; // the Style box: plain (the default) or survey, for KML files and the preview
    if (ui_) {
        options.transectName = ui_->transectName->text().toStdString();
        options.transectDesc = ui_->transectDesc->text().toStdString();
        options.tessellate = ui_->tessellate->isChecked();
        options.elevation = ui_->elevation->isChecked();
        surveyStyle = ui_->kmlStyle->currentIndex() == kSurveyStyle;
    }
    options.hasElevation = hasElevation;
    const ArrangedTrack track = gpsDataController ? gpsDataController->arrangedObjects() : ArrangedTrack{};

    // Several logs are written in the order they were merged, one track each, as the command writes them.
    const std::vector<TrackLog> logs = trackLogs(gpsLogNames, gpsLogs);
    SurveyDocument survey = surveyDocument(
        options, gpsLogNames.empty() ? std::string() : gpsLogNames.front(),
        logs.empty() || !gpsPoints ? track.view() : TrackView{*gpsPoints, {}}, runRecordings, placements);
    survey.logs = logs;
    const KmlStyle style = surveyStyle ? KmlStyle::Survey : KmlStyle::Plain;

    WriteResult written;
    const OutputFormat format = url.isLocalFile() ? formatOfPath(localPath(url)) : OutputFormat::Kml;
    if (url.isLocalFile()) {
        written = writeFileAtomically(localPath(url), [&](const ByteSink &sink) {
            writeChosenDocument(format, style, survey, options, geoRefRecs, sink);
        });
    }
    if (!written) {
        QApplication::beep();
        runAlertPanel(alertParent(), PanelTexts::exportErrorTitle(), PanelTexts::exportErrorMessage(format));
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
    const ArrangedTrack track = gpsDataController->arrangedObjects();
    runAlertPanel(myPanel, PanelTexts::noOverlapTitle(),
                  PanelTexts::noOverlapMessage(track.view(), placements, clockOffset(), diagnosis));
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
        const QStringList filters{tr("KML files (*.kml)"), tr("GeoJSON files (*.geojson)"),
                                  tr("GPX files (*.gpx)")};
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
        runAlertPanel(myPanel, PanelTexts::exportErrorTitle(),
                      PanelTexts::exportErrorMessage(OutputFormat::Kml)); // previews are KML
        return;
    }
    createKMLOutput(QUrl::fromLocalFile(path));
    // The records served the document just written, and every command places again: their memory goes
    // before the map reads the document back.
    geoRefRecs = std::vector<GeoRefRecord>();
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
                QTimer::singleShot(kCenterDelayMs, Qt::PreciseTimer, display,
                                   [display, at = *centre] { display->setCenter(at.lat, at.lon); });
            }
        }
    }
    if (mapDisplay) {
        MapDisplay *display = mapDisplay;
        display->showWindow(sender);
        QTimer::singleShot(kShowTrackDelayMs, Qt::PreciseTimer, display,
                           [display, path] { display->showTrack(path); });
    }
}
