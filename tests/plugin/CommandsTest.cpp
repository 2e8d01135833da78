// The panel's Export, refused: nothing is written.

#include "PluginFixture.h"

#include <QDir>

// Without overlap the alert comes instead of a save dialog; a cancelled save writes nothing either.
TEST_F(PluginTest, ExportWithoutOverlapOrCancelledClosesThePanelAndWritesNothing) {
    QStringList alert;
    const std::pair<pelorin::HostRecording, Step> cases[] = {
        {rec("next-year.wav", "2010-05-01T10:00:30Z"), answerAlert(&alert)},
        {rec("early.wav", "2009-05-01T10:00:30Z"), {"QFileDialog", [](QWidget *d) { d->close(); }}}};
    for (const auto &[recording, last] : cases) {
        selection = QList{recording};
        steps = {chooseFile(trackFile()), press("exportButton"), last};
        plugin.fire(nullptr);
        EXPECT_FALSE(plugin.myPanel->isVisible()) << recording.filename().toStdString();
        EXPECT_TRUE(QDir(dir.path()).entryList({"*.kml"}, QDir::Files).isEmpty());
        EXPECT_TRUE(opened.isEmpty());
    }
    EXPECT_EQ(alert.value(0), "No time overlap");
}

// A destination that cannot be written, named by its format: an alert, and nothing else.
TEST_F(PluginTest, WriteRefusalsAlertAndKeepTheRun) {
    QStringList alert;
    const QString destination = dir.filePath("taken.geojson");
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.geojson"));
    steps = {answerAlert(&alert)};
    EXPECT_FALSE(plugin.createKMLOutput(QUrl::fromLocalFile(destination)));
    EXPECT_EQ(alert, (QStringList{"Export error", "Couldn't write GeoJSON file to the selected destination.",
                                  "Ok"}));
    EXPECT_TRUE(QFileInfo(destination).isDir());
}
