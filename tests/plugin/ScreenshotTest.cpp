// Not a test: scripts/screenshots runs it to picture the plug-in on the sample survey with the recorder an
// hour ahead: the No time overlap alert, the panel's diagnosis, the placements once the suggested offset is
// applied. Writes PNGs into the folder named by PELORIN_SCREENSHOTS.

#include "PluginFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTextStream>

TEST_F(PluginTest, DISABLED_Screenshots) {
    const QDir out(qEnvironmentVariable("PELORIN_SCREENSHOTS"));
    const QDir survey(qEnvironmentVariable("PELORIN_SAMPLE_SURVEY"));
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("PELORIN_SCREENSHOTS") ||
                 qEnvironmentVariableIsEmpty("PELORIN_SAMPLE_SURVEY"))
        << "set PELORIN_SCREENSHOTS and PELORIN_SAMPLE_SURVEY";
    QFile catalogue(survey.filePath("recordings.csv"));
    ASSERT_TRUE(catalogue.open(QIODevice::ReadOnly));
    QTextStream in(&catalogue);
    in.readLine(); // filename,recording_time,duration_s,species,notes
    selection.emplace();
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(',');
        if (fields.size() < 4)
            continue;
        QList<pelorin::HostSpecies> species;
        for (const QString &taxon : fields[3].split(';', Qt::SkipEmptyParts))
            species << pelorin::HostSpecies{pelorin::HostTaxon{taxon}};
        selection->append({QDateTime::fromString(fields[1], Qt::ISODate).addSecs(3600), fields[0], species});
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
