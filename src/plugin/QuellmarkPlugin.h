#pragma once

#include "framework/AbstractPlugin.h"
#include "framework/HostDelegate.h"
#include "georef/GeoRefRecord.h"
#include "georef/OffsetDiagnosis.h"
#include "georef/Placement.h"
#include "georef/Recording.h"
#include "gpx/GpxReader.h"
#include "gpx/MergedLogs.h"
#include "gpx/TrackPoint.h"
#include "plugin/ModalRun.h"

#include <QPointer>
#include <QUrl>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QFileDialog;
class QMessageBox;
class QWidget;

namespace Ui {
class PelorinMain;
}

namespace pelorin {
class RecordingsArrayController;
class TrackPointsArrayController;
} // namespace pelorin

// The plug-in's controller: answers the host, owns the panel and the working
// lists, and frames each run. The work itself is done by the core (reading the
// GPS log, placing the recordings, writing KML); this class wires it to the
// panel, the dialogs and the host. The panel's sentences are PanelTexts'; the
// Write positions command is in WritePositionsCommand.cpp.
class QuellmarkPlugin : public pelorin::AbstractPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PelorinAbstractPlugin_iid)

public:
    explicit QuellmarkPlugin(QObject *parent = nullptr);
    ~QuellmarkPlugin() override;

    // The host's calls.
    bool init() override;
    QString name() const override;
    void fire(QObject *sender) override;

    // The panel's life, called by this class itself: once the panel is loaded,
    // when it closes, and when the parse error sheet is dismissed.
    void awakeFromNib();
    void windowWillClose();
    void alertDidEnd(QMessageBox *alert, int returnCode, void *contextInfo);

    // The GPS-log step and its dialog's item filter.
    void askForGPXFile();
    bool panelShouldEnableURL(QFileDialog *panel, const QUrl &url) const;
    // Reads the logs, in the order given, as one track; an alert names a log that cannot be parsed.
    bool parseGPXFiles(const QList<QUrl> &urls);

    // The panel's commands.
    void calcDateTimeDif(QObject *sender); // the Export command
    void previewMap(QObject *sender);
    // Puts the placed recordings' positions into their WAV files' GUANO
    // metadata, after a confirmation; the host reads the files again.
    void writePositionsIntoRecordings();

    void geoRefRecordings();
    bool createKMLOutput(const QUrl &url);

    // The application's modal session for the panel.
    void runModalForWindow(QWidget *window);
    void stopModal();

    // Outlets, set when the panel is loaded (its fields are the form's, found
    // by their object names), and working state.
    QPointer<QWidget> myPanel;
    pelorin::TrackPointsArrayController *gpsDataController = nullptr;
    pelorin::RecordingsArrayController *recController = nullptr;
    std::vector<pelorin::GeoRefRecord> geoRefRecs;
    std::vector<pelorin::Placement> placements;        // of the last pass, in arranged order
    std::optional<pelorin::OffsetDiagnosis> diagnosis; // when the last pass placed fewer than half
    std::shared_ptr<const std::vector<pelorin::TrackPoint>> gpsPoints;
    bool hasElevation = false;
    QPointer<pelorin::MapDisplay> mapDisplay;
    // For the GeoJSON and GPX documents: the run's recordings (placed as
    // `placements` says) and the GPS logs' file names, in natural order: the
    // first names a document without a transect name.
    std::vector<pelorin::Recording> runRecordings;
    std::vector<std::string> gpsLogNames;
    pelorin::MergedLogs gpsLogs; // several logs: each one's share of gpsPoints

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool loadPanel();
    bool listsPresent() const;
    void makeKeyAndOrderFront();
    // Where alerts not tied to the panel go: the panel, else the host's window.
    QWidget *alertParent() const;
    void showPlacementSummary();
    std::int32_t clockOffset() const;
    bool placeOrExplain();

    std::unique_ptr<Ui::PelorinMain> ui_;
    pelorin::GpxReader gpxReader_; // the parse state (point in progress, accumulator, flags)
    pelorin::ModalRun modalRun_;
};
