#include "host/Catalogue.h"
#include "host/HostApplication.h"
#include "host/HostSettings.h"
#include "host/MainWindow.h"
#include "host/RecordingsTableView.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pelorin;

namespace {

QString writeFile(const QTemporaryDir &dir, const char *name, const QByteArray &content) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

} // namespace

TEST(Catalogue, ErrorMessageNamesTheFileAndEachLine) {
    const QString message = catalogueErrorMessage(QStringLiteral("/data/survey.csv"),
                                                  {{3, "bad recording_time"}, {0, "no header"}});
    EXPECT_EQ(message, QStringLiteral("The catalogue /data/survey.csv could not be read.\n"
                                      "Line 3: bad recording_time\n"
                                      "no header"));
}

TEST(Catalogue, ErrorMessageListsTheFirstTenProblems) {
    std::vector<CsvError> errors;
    for (long line = 2; line < 27; ++line)
        errors.push_back({line, "bad"});
    const QStringList lines = catalogueErrorMessage(QStringLiteral("c.csv"), errors).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines.at(10), QStringLiteral("Line 11: bad"));
    EXPECT_TRUE(lines.at(11).contains(QLatin1String("15"))) << lines.at(11).toStdString();
}

TEST(Catalogue, LoadsRecordingsOrReportsTheBadLine) {
    QTemporaryDir dir;
    const QString good = writeFile(dir, "good.csv",
                                   "filename,recording_time,species\n"
                                   "rec1.wav,2025-06-12T19:35:17Z,Ppip;Nnoc\n"
                                   "rec2.wav,2025-06-12T19:40:00Z,\n");
    const CatalogueLoad load = loadCatalogue(good);
    ASSERT_TRUE(load.ok()) << load.error.toStdString();
    ASSERT_EQ(load.recordings.size(), 2);
    EXPECT_EQ(load.recordings[0].filename(), QStringLiteral("rec1.wav"));
    EXPECT_EQ(load.recordings[0].recordingTime(), QDateTime(QDate(2025, 6, 12), QTime(19, 35, 17), Qt::UTC));
    ASSERT_EQ(load.recordings[0].mySpecies().size(), 2);
    EXPECT_EQ(load.recordings[0].mySpecies()[1].myTaxon->abbrev, QStringLiteral("Nnoc"));
    EXPECT_TRUE(load.recordings[1].mySpecies().isEmpty());

    const QString bad = writeFile(dir, "bad.csv",
                                  "filename,recording_time,species\n"
                                  "rec1.wav,2025-06-12T19:35:17Z,Ppip\n"
                                  "rec2.wav,yesterday,Ppip\n");
    const CatalogueLoad failed = loadCatalogue(bad);
    EXPECT_FALSE(failed.ok());
    EXPECT_TRUE(failed.recordings.isEmpty());
    EXPECT_TRUE(failed.error.contains(bad));
    EXPECT_TRUE(failed.error.contains(QLatin1String("Line 3:"))) << failed.error.toStdString();

    EXPECT_FALSE(loadCatalogue(dir.filePath(QStringLiteral("missing.csv"))).ok());
}

TEST(Catalogue, TheLastCatalogueOpenedIsRemembered) {
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QTemporaryDir dir;
    const QString good =
        writeFile(dir, "good.csv", "filename,recording_time,species\nr.wav,2025-06-12T19:35:17Z,\n");
    const QString bad = writeFile(dir, "bad.csv", "no header here\n");

    HostApplication host;
    MainWindow &window = *host.mainWindow();
    ASSERT_TRUE(window.openCatalogue(good));
    EXPECT_EQ(window.table()->recordingCount(), 1);
    EXPECT_EQ(lastCatalogue(), good);

    QString error;
    EXPECT_FALSE(window.openCatalogue(bad, &error));
    EXPECT_TRUE(error.contains(bad));
    EXPECT_EQ(window.table()->recordingCount(), 1) << "a failed open keeps the table";
    EXPECT_EQ(lastCatalogue(), good);
}
