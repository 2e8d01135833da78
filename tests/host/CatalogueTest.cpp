#include "host/Catalogue.h"
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

// A broken catalogue can hold thousands of bad rows: the message lists ten and counts the rest.
TEST(Catalogue, ListsTenProblemsAndCountsTheRest) {
    const std::pair<std::size_t, const char *> cases[] = {
        {1, nullptr}, {10, nullptr}, {11, "… and 1 more problem(s)."}, {250, "… and 240 more problem(s)."}};
    for (const auto &[count, more] : cases) {
        std::vector<CsvError> errors;
        for (std::size_t i = 0; i < count; ++i)
            errors.push_back({static_cast<long>(i + 2), "bad row " + std::to_string(i)});
        const QStringList lines =
            catalogueErrorMessage(QStringLiteral("c.csv"), errors).split(QLatin1Char('\n'));
        SCOPED_TRACE(count);
        ASSERT_EQ(lines.size(), 1 + std::min<qsizetype>(count, 10) + (more ? 1 : 0));
        EXPECT_TRUE(lines.front().contains(QLatin1String("c.csv")));
        EXPECT_EQ(lines[1], QStringLiteral("Line 2: bad row 0"));
        EXPECT_EQ(lines.back(), more ? QString::fromUtf8(more)
                                     : QStringLiteral("Line %1: bad row %2").arg(count + 1).arg(count - 1));
    }
}
