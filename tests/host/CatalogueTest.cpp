#include "TestFiles.h"
#include "host/HostApplication.h"
#include "host/HostSettings.h"
#include "host/MainWindow.h"
#include "host/RecordingsTableView.h"

#include <QSettings>

using namespace pelorin;

TEST(Catalogue, AFailedOpenNamesFileAndLineAndKeepsTheTableAndTheLastCatalogue) {
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QTemporaryDir dir;
    const QString good = writeFile(dir, "good.csv",
                                   "filename,recording_time,species\n"
                                   "rec1.wav,2025-06-12T19:35:17Z,Ppip;Nnoc\n"
                                   "rec2.wav,2025-06-12T19:40:00Z,\n");
    const QString bad = writeFile(dir, "bad.csv",
                                  "filename,recording_time,species\n"
                                  "rec1.wav,2025-06-12T19:35:17Z,Ppip\n"
                                  "rec2.wav,yesterday,Ppip\n");
    const QString missing = dir.filePath(QStringLiteral("missing.csv"));

    HostApplication host;
    MainWindow &window = *host.mainWindow();
    ASSERT_TRUE(window.openCatalogue(good));
    EXPECT_EQ(window.table()->recordingCount(), 2);
    EXPECT_EQ(lastCatalogue(), good);

    QString error;
    EXPECT_FALSE(window.openCatalogue(bad, &error));
    EXPECT_TRUE(error.contains(bad) && error.contains(QLatin1String("Line 3:"))) << error.toStdString();
    EXPECT_FALSE(window.openCatalogue(missing, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
    EXPECT_EQ(window.table()->recordingCount(), 2);
    EXPECT_EQ(lastCatalogue(), good);
}
