// Not a test: scripts/screenshots runs it to picture the plug-in on the sample survey with the recorder an
// hour ahead: the No time overlap alert, the panel's diagnosis, the placements once the suggested offset is
// applied. Writes PNGs into the folder named by PELORIN_SCREENSHOTS.

#include "PluginFixture.h"
#include "recordings/RecordingsCsv.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

TEST_F(PluginTest, DISABLED_Screenshots) {
    const QDir out(qEnvironmentVariable("PELORIN_SCREENSHOTS"));
    const QDir survey(qEnvironmentVariable("PELORIN_SAMPLE_SURVEY"));
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("PELORIN_SCREENSHOTS") ||
                 qEnvironmentVariableIsEmpty("PELORIN_SAMPLE_SURVEY"))
        << "set PELORIN_SCREENSHOTS and PELORIN_SAMPLE_SURVEY";
    const pelorin::RecordingsCsvResult catalogue =
        pelorin::readRecordingsCsv(survey.filePath("recordings.csv").toStdString());
    ASSERT_TRUE(catalogue.ok());
    selection.emplace();
    for (const pelorin::Recording &r : catalogue.recordings) {
        QList<pelorin::HostSpecies> species;
        for (const std::string &taxon : r.species)
            species << pelorin::HostSpecies{pelorin::HostTaxon{QString::fromStdString(taxon)}};
        const qint64 ms = r.recordingTime.time_since_epoch().count();
        selection->append({QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).addSecs(3600),
                           QString::fromStdString(r.filename), species});
    }
    const auto grab = [&out](QWidget *widget, const char *name) {
        QApplication::processEvents();
        widget->grab().save(out.filePath(name));
    };
    steps = {chooseFile(survey.filePath("track.gpx")),
             {"PelorinMain",
              [this](QWidget *panel) {
                  panel->resize(1500, 720);
                  plugin.timeDiff->setText("37");
                  press("previewButton").second(panel);
              }},
             {"QMessageBox",
              [&](QWidget *alert) {
                  grab(alert, "plugin-no-overlap.png");
                  static_cast<QMessageBox *>(alert)->buttons().constFirst()->click();
              }},
             {"PelorinMain", [&](QWidget *panel) {
                  panel->findChild<QTableView *>("recordingsTable")
                      ->horizontalHeader()
                      ->setSectionResizeMode(QHeaderView::ResizeToContents);
                  grab(panel, "plugin-diagnosis.png");
                  plugin.applySuggestedOffset->click();
                  press("previewButton").second(panel);
              }}};
    plugin.fire(nullptr);
    grab(plugin.myPanel, "plugin-placements.png");
}
