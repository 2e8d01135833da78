#include "host/WavImport.h"
#include "ScopedTimeZone.h"
#include "host/HostApplication.h"
#include "host/HostSettings.h"
#include "host/MainWindow.h"
#include "host/RecordingConversion.h"
#include "host/RecordingsTableModel.h"
#include "host/RecordingsTableView.h"
#include "recordings/WavWriter.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pelorin;
using pelorin::test::WavWriter;

namespace {

struct Row {
    QDateTime start;
    QString timeFrom;
    QString species;
    bool operator==(const Row &) const = default;
};

// Rows by file name, so that the table's order does not matter.
QMap<QString, Row> rowsByName(const RecordingsTableView &view) {
    QMap<QString, Row> rows;
    const QAbstractItemModel &m = *view.model();
    for (int r = 0; r < m.rowCount(); ++r)
        rows.insert(
            m.index(r, RecordingsTableModel::FileNameColumn).data().toString(),
            {m.index(r, RecordingsTableModel::StartColumn).data(RecordingsTableModel::SortRole).toDateTime(),
             m.index(r, RecordingsTableModel::TimeFromColumn).data().toString(),
             m.index(r, RecordingsTableModel::SpeciesColumn).data().toString()});
    return rows;
}

QDateTime utc(int h, int m, int s) {
    return QDateTime(QDate(2019, 5, 1), QTime(h, m, s), Qt::UTC);
}

class WavImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
        ASSERT_TRUE(QDir(card_.path()).mkpath(QStringLiteral("night1")));
        write("night1/guano.wav", WavWriter()
                                      .fmt()
                                      .guano("Timestamp: 2019-05-01T20:14:29Z\n"
                                             "Species Manual ID: Ppip, Nnoc\nSpecies Auto ID: Myot\n")
                                      .audio(100)
                                      .bytes());
        write(
            "night1/auto.WAV",
            WavWriter().fmt().guano("Timestamp: 2019-05-01T22:30:00+02:00\nSpecies Auto ID: Pnat\n").bytes());
        write("bext.wav", WavWriter().fmt().bext("2019-05-01", "23:00:00").audio(10).bytes());
        write("SM4_20190501_221429.wav", WavWriter().fmt().audio(10).bytes());
        write("plain.wav", WavWriter().fmt().audio(10).bytes());
        QFile plain(card_.filePath(QStringLiteral("plain.wav")));
        ASSERT_TRUE(plain.open(QIODevice::ReadWrite));
        ASSERT_TRUE(plain.setFileTime(utc(21, 0, 0), QFileDevice::FileModificationTime));
        write("broken.wav", "RIFF");
        write("notes.txt", "not audio");
    }

    void write(const char *name, const std::string &bytes) {
        QFile file(card_.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    test::ScopedTimeZone berlin_{"CET-1CEST,M3.5.0,M10.5.0/3"};
    QTemporaryDir settings_;
    QTemporaryDir card_;
    HostApplication host_;
    MainWindow &window_ = *host_.mainWindow();
};

} // namespace

TEST_F(WavImportTest, AFolderGivesTimesSpeciesAndWhereEachTimeCameFrom) {
    QString skipped;
    EXPECT_EQ(window_.addRecordings({card_.path()}, &skipped), 5);
    const QMap<QString, Row> expected{
        {"guano.wav", {utc(20, 14, 29), "GUANO", "Ppip, Nnoc"}},
        {"auto.WAV", {utc(20, 30, 0), "GUANO", "Pnat"}},
        {"bext.wav", {utc(21, 0, 0), "bext", ""}},
        {"SM4_20190501_221429.wav", {utc(20, 14, 29), "file name", ""}},
        {"plain.wav", {utc(21, 0, 0), "modification time", ""}},
    };
    EXPECT_EQ(rowsByName(*window_.table()), expected);
    EXPECT_TRUE(skipped.contains(QDir::toNativeSeparators(card_.filePath(QStringLiteral("broken.wav"))) +
                                 QStringLiteral(": ")))
        << skipped.toStdString();
    EXPECT_FALSE(skipped.contains(QLatin1String("notes.txt")));

    // The same files again, by folder or one by one, are not added twice.
    EXPECT_EQ(
        window_.addRecordings({card_.path(), card_.filePath(QStringLiteral("night1/guano.wav"))}, &skipped),
        0);
    EXPECT_EQ(window_.table()->recordingCount(), 5);
    write("SM4_20190501_230000.wav", WavWriter().fmt().bytes());
    EXPECT_EQ(window_.addRecordings({card_.path()}, &skipped), 1);
    EXPECT_EQ(window_.table()->recordingCount(), 6);
}

TEST_F(WavImportTest, ASavedCatalogueReopensWithTheSameRecordings) {
    QString skipped;
    window_.addRecordings({card_.path()}, &skipped);
    window_.table()->sortByColumn(RecordingsTableModel::FileNameColumn, Qt::AscendingOrder);
    const QList<HostRecording> shown = window_.table()->allRecordings();
    const QString path = card_.filePath(QStringLiteral("catalogue.csv"));
    ASSERT_TRUE(window_.saveCatalogueTo(path));
    EXPECT_EQ(lastCatalogue(), path);

    HostApplication other;
    ASSERT_TRUE(other.mainWindow()->openCatalogue(path));
    other.mainWindow()->table()->sortByColumn(RecordingsTableModel::FileNameColumn, Qt::AscendingOrder);
    const QList<HostRecording> reopened = other.mainWindow()->table()->allRecordings();
    ASSERT_EQ(reopened.size(), shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(reopened[i].filename(), shown[i].filename());
        EXPECT_EQ(reopened[i].recordingTime(), shown[i].recordingTime());
        EXPECT_EQ(speciesText(reopened[i]), speciesText(shown[i]));
    }
    EXPECT_EQ(rowsByName(*other.mainWindow()->table()).value("guano.wav").timeFrom,
              QStringLiteral("catalogue"));

    // A folder is no place for a catalogue: refused, and the last catalogue stays.
    QString error;
    EXPECT_FALSE(window_.saveCatalogueTo(card_.path(), &error));
    EXPECT_TRUE(error.contains(card_.path())) << error.toStdString();
    EXPECT_EQ(lastCatalogue(), path);
}

TEST(WavImport, ACancelledReadKeepsNothing) {
    QTemporaryDir dir;
    const QStringList files{dir.filePath(QStringLiteral("a.wav")), dir.filePath(QStringLiteral("b.wav"))};
    int calls = 0;
    const WavImport import = readWavFiles(files, [&calls](int done) {
        ++calls;
        return done < 1;
    });
    EXPECT_TRUE(import.cancelled);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(import.recordings.isEmpty());
    EXPECT_TRUE(import.skipped.isEmpty());
}

TEST(WavImport, SkippedFilesMessageListsTheFirstTwenty) {
    QList<SkippedFile> skipped;
    for (int i = 1; i <= 23; ++i)
        skipped.append({QStringLiteral("/card/f%1.wav").arg(i), QStringLiteral("too short for a WAV file")});
    const QStringList lines = skippedFilesMessage(skipped).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 22);
    EXPECT_TRUE(lines.first().contains(QLatin1String("23")));
    EXPECT_EQ(lines.at(1), QStringLiteral("/card/f1.wav: too short for a WAV file"));
    EXPECT_EQ(lines.at(20), QStringLiteral("/card/f20.wav: too short for a WAV file"));
    EXPECT_TRUE(lines.last().contains(QLatin1String("3 more"))) << lines.last().toStdString();
    EXPECT_EQ(skippedFilesMessage(skipped.mid(0, 1)).count(QLatin1Char('\n')), 1);
}
