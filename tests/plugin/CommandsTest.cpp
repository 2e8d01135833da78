// The export command and the KML writer's outcome as the user sees it.

#include "PluginFixture.h"
#include "plugin/FileDialog.h"
#include "plugin/RecordingsArrayController.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTableView>

namespace {
const QString kNoOverlap = QStringLiteral("Time overlap between recordings and coordinates does not exist. "
                                          "Recordings can only be correlated with ");

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

TEST_F(PluginTest, ExportWritesEveryListedRecordingWhateverIsSelected) {
    selectTwoRecordings();
    QString saveTitle, saveMessage;
    driver.chooseFile(trackFile());
    driver.onPanel([this](QWidget *) {
        plugin.recController->view()->selectRow(0); // one selected; both are written
        plugin.transectName->setText(QStringLiteral("Edge & meadow"));
        plugin.timeDiff->setText(QStringLiteral("  +0 s"));
        click("exportButton");
    });
    driver.onFileDialog([&](QFileDialog *save) {
        saveTitle = save->windowTitle();
        saveMessage = static_cast<pelorin::FileDialog *>(save)->message();
        EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
        save->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
            ->setText(dir.filePath(QStringLiteral("survey"))); // the type's suffix is added
        static_cast<QDialog *>(save)->accept();
    });
    plugin.fire(nullptr);

    const QString written = dir.filePath(QStringLiteral("survey.kml"));
    const QByteArray kml = readAll(written);
    EXPECT_EQ(kml.count("<Point>"), 2);
    EXPECT_TRUE(kml.contains("Edge &amp; meadow"));
    EXPECT_TRUE(kml.contains("<name>Pip</name>"));
    EXPECT_TRUE(kml.contains("<name>Nyc</name>"));
    EXPECT_EQ(saveTitle, QStringLiteral("Export KML file"));
    EXPECT_EQ(saveMessage, QStringLiteral("Export geo referenced recordings to a KML file."));
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(written)});
    EXPECT_FALSE(plugin.myPanel->isVisible()) << "an export closes the panel";
}

TEST_F(PluginTest, NoOverlapAlertsAndClosesWithoutASaveDialog) {
    host.recordings.selection = QList<pelorin::HostRecording>{
        recording(QStringLiteral("next-year.wav"), QStringLiteral("2010-05-01T10:00:30Z"))};
    ModalDriver::Alert alert;
    driver.chooseFile(trackFile());
    driver.onPanel([this](QWidget *) { click("exportButton"); });
    driver.answerAlert(&alert);
    plugin.fire(nullptr);

    EXPECT_EQ(alert.text, QStringLiteral("No time overlap"));
    EXPECT_EQ(alert.informativeText, kNoOverlap);
    EXPECT_EQ(kNoOverlap.size(), 103);
    EXPECT_EQ(alert.buttons, QStringList{QStringLiteral("Ok")});
    EXPECT_EQ(driver.handled, (QStringList{"file dialog", "panel", "alert"}));
    EXPECT_FALSE(plugin.myPanel->isVisible());
    EXPECT_TRUE(plugin.geoRefRecs.empty());
}

TEST_F(PluginTest, CancelledSaveClosesThePanelAndWritesNothing) {
    selectTwoRecordings();
    driver.chooseFile(trackFile());
    driver.onPanel([this](QWidget *) { click("exportButton"); });
    driver.cancelFileDialog();
    plugin.fire(nullptr);

    EXPECT_FALSE(plugin.myPanel->isVisible());
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.kml")}, QDir::Files).isEmpty());
    EXPECT_TRUE(opened.urls.isEmpty());
    EXPECT_EQ(plugin.geoRefRecs.size(), 2u) << "the pass ran before the dialog";
}

TEST_F(PluginTest, FailedWriteBeepsAlertsAndKeepsTheDestination) {
    const QString destination = dir.filePath(QStringLiteral("taken.kml"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.kml")));
    ModalDriver::Alert alert;
    driver.answerAlert(&alert);

    EXPECT_FALSE(plugin.createKMLOutput(QUrl::fromLocalFile(destination)));
    EXPECT_EQ(alert.text, QStringLiteral("Export error"));
    EXPECT_EQ(alert.informativeText, QStringLiteral("Couldn't write KML file to the selected destination."));
    EXPECT_EQ(alert.buttons, QStringList{QStringLiteral("Ok")});
    EXPECT_EQ(alert.modality, Qt::ApplicationModal);
    EXPECT_TRUE(QFileInfo(destination).isDir());
    EXPECT_TRUE(opened.urls.isEmpty());
}

TEST_F(PluginTest, CommandsBeforeThePanelIsLoadedDoNothing) {
    plugin.calcDateTimeDif(nullptr);
    plugin.previewMap(nullptr);
    EXPECT_FALSE(plugin.myPanel);
    EXPECT_EQ(host.mapRequests, 0);
}
