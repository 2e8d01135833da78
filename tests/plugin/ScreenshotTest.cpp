// Not a test: scripts/screenshots runs it to picture the panel after a pass
// and the No time overlap alert on the sample survey. Writes PNGs into the
// folder named by PELORIN_SCREENSHOTS.

#include "PluginFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTextStream>

namespace {

QList<pelorin::HostRecording> sampleRecordings(const QString &catalogue, int hoursWrong) {
    QList<pelorin::HostRecording> recordings;
    QFile file(catalogue);
    if (!file.open(QIODevice::ReadOnly))
        return recordings;
    QTextStream in(&file);
    in.readLine(); // header: filename,recording_time,duration_s,species,notes
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(',');
        if (fields.size() < 4)
            continue;
        QList<pelorin::HostSpecies> species;
        for (const QString &taxon : fields[3].split(';', Qt::SkipEmptyParts))
            species << pelorin::HostSpecies{pelorin::HostTaxon{taxon}};
        recordings << pelorin::HostRecording{
            QDateTime::fromString(fields[1], Qt::ISODate).addSecs(3600 * hoursWrong), fields[0], species};
    }
    return recordings;
}

} // namespace

TEST_F(PluginTest, DISABLED_Screenshots) {
    const QString out = qEnvironmentVariable("PELORIN_SCREENSHOTS");
    const QString survey = qEnvironmentVariable("PELORIN_SAMPLE_SURVEY");
    ASSERT_FALSE(out.isEmpty() || survey.isEmpty()) << "set PELORIN_SCREENSHOTS and PELORIN_SAMPLE_SURVEY";
    const QString track = QDir(survey).filePath("track.gpx");
    const QString catalogue = QDir(survey).filePath("recordings.csv");

    // The recorder an hour ahead (summer time): the alert, the diagnosis in the panel, the offset applied.
    selection = sampleRecordings(catalogue, 1);
    steps = {chooseFile(track),
             {"PelorinMain",
              [this](QWidget *panel) {
                  panel->resize(1500, 720);
                  plugin.timeDiff->setText("37");
                  press("previewButton").second(panel);
              }},
             {"QMessageBox",
              [out](QWidget *alert) {
                  QApplication::processEvents();
                  alert->grab().save(QDir(out).filePath("plugin-no-overlap.png"));
                  static_cast<QMessageBox *>(alert)->buttons().constFirst()->click();
              }},
             {"PelorinMain", [this, out](QWidget *panel) {
                  auto *table = panel->findChild<QTableView *>("recordingsTable");
                  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
                  QApplication::processEvents();
                  panel->grab().save(QDir(out).filePath("plugin-diagnosis.png"));
                  plugin.applySuggestedOffset->click();
                  press("previewButton").second(panel);
              }}};
    plugin.fire(nullptr);
    QApplication::processEvents();
    plugin.myPanel->grab().save(QDir(out).filePath("plugin-placements.png"));
}
