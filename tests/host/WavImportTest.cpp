#include "host/WavImport.h"
#include "ScopedTimeZone.h"
#include "TestFiles.h"
#include "host/HostApplication.h"
#include "host/HostSettings.h"
#include "host/MainWindow.h"
#include "host/RecordingsTableModel.h"
#include "host/RecordingsTableView.h"
#include "host/TableRecordingsController.h"
#include "recordings/WavWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

using namespace pelorin;
using pelorin::test::WavWriter;

namespace {

// {start (UTC), time from, species, position} by file name, so that the table's order does not matter.
QMap<QString, QStringList> rowsByName(const RecordingsTableView &view) {
    using Model = RecordingsTableModel;
    QMap<QString, QStringList> rows;
    for (int r = 0; r < view.model()->rowCount(); ++r) {
        const auto cell = [&](int column) { return view.model()->index(r, column); };
        const QDateTime start = cell(Model::StartColumn).data(Model::SortRole).toDateTime();
        rows.insert(cell(Model::FileNameColumn).data().toString(),
                    {start.toUTC().toString(Qt::ISODate), cell(Model::TimeFromColumn).data().toString(),
                     cell(Model::SpeciesColumn).data().toString(),
                     cell(Model::PositionColumn).data().toString()});
    }
    return rows;
}

std::string guanoWav(const char *metadata, int audio) {
    return WavWriter().fmt().guano(metadata).audio(audio).bytes();
}

class WavImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
        ASSERT_TRUE(QDir(card_.path()).mkpath(QStringLiteral("night1")));
        write("night1/guano.wav",
              guanoWav(
                  "Timestamp: 2019-05-01T20:14:29Z\nSpecies Manual ID: Ppip, Nnoc\nSpecies Auto ID: Myot\n",
                  100));
        write(
            "night1/auto.WAV",
            WavWriter().fmt().guano("Timestamp: 2019-05-01T22:30:00+02:00\nSpecies Auto ID: Pnat\n").bytes());
        write("bext.wav", WavWriter().fmt().bext("2019-05-01", "23:00:00").audio(10).bytes());
        write("SM4_20190501_221429.wav", WavWriter().fmt().audio(10).bytes());
        write("plain.wav", WavWriter().fmt().audio(10).bytes());
        QFile plain(card_.filePath(QStringLiteral("plain.wav")));
        ASSERT_TRUE(plain.open(QIODevice::ReadWrite));
        ASSERT_TRUE(plain.setFileTime(QDateTime(QDate(2019, 5, 1), QTime(21, 0), Qt::UTC),
                                      QFileDevice::FileModificationTime));
        write("broken.wav", "RIFF");
        write("notes.txt", "not audio");
    }

    void write(const char *name, const std::string &bytes) { writeFile(card_, name, bytes); }

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
    const QMap<QString, QStringList> expected{
        {"guano.wav", {"2019-05-01T20:14:29Z", "GUANO", "Ppip, Nnoc", ""}},
        {"auto.WAV", {"2019-05-01T20:30:00Z", "GUANO", "Pnat", ""}},
        {"bext.wav", {"2019-05-01T21:00:00Z", "bext", "", ""}},
        {"SM4_20190501_221429.wav", {"2019-05-01T20:14:29Z", "file name", "", ""}},
        {"plain.wav", {"2019-05-01T21:00:00Z", "modification time", "", ""}},
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
    const QString path = card_.filePath(QStringLiteral("catalogue.csv"));
    ASSERT_TRUE(window_.saveCatalogueTo(path));
    EXPECT_EQ(lastCatalogue(), path);

    HostApplication other;
    ASSERT_TRUE(other.mainWindow()->openCatalogue(path));
    QMap<QString, QStringList> expected = rowsByName(*window_.table()); // checked by the test above
    for (QStringList &row : expected)
        row[1] = QStringLiteral("catalogue");
    EXPECT_EQ(rowsByName(*other.mainWindow()->table()), expected);

    // A folder is no place for a catalogue, a broken or missing one does not open (the message names its file
    // and line): the table and the last catalogue stay.
    QString error;
    EXPECT_FALSE(window_.saveCatalogueTo(card_.path(), &error));
    EXPECT_TRUE(error.contains(card_.path())) << error.toStdString();
    const QString bad = writeFile(card_, "bad.csv",
                                  "filename,recording_time,species\n"
                                  "rec1.wav,2025-06-12T19:35:17Z,Ppip\n"
                                  "rec2.wav,yesterday,Ppip\n");
    EXPECT_FALSE(window_.openCatalogue(bad, &error));
    EXPECT_TRUE(error.contains(bad) && error.contains(QLatin1String("Line 3:"))) << error.toStdString();
    const QString missing = card_.filePath(QStringLiteral("missing.csv"));
    EXPECT_FALSE(window_.openCatalogue(missing, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
    EXPECT_EQ(window_.table()->recordingCount(), 5);
    EXPECT_EQ(lastCatalogue(), path);
}

// A plug-in that wrote into some files has the host read them again: the rows keep their place and show the
// position; the rows carry their files' paths for the plug-in.
TEST_F(WavImportTest, FilesChangedByAPlugInAreReadAgain) {
    QString skipped;
    window_.addRecordings({card_.path()}, &skipped);
    const auto positionOf = [this](const char *name) {
        return rowsByName(*window_.table()).value(name).value(3);
    };
    const QString guano = card_.filePath(QStringLiteral("night1/guano.wav"));
    for (const HostRecording &recording : window_.table()->allRecordings())
        EXPECT_EQ(QFileInfo(recording.path()).fileName(), recording.filename());

    write("night1/guano.wav", guanoWav("Timestamp: 2019-05-01T20:14:29Z\nLoc Position: 52.1 13.2\n", 100));
    write("plain.wav", guanoWav("Loc Position: 1 2\n", 10)); // not named: not read
    TableRecordingsController(window_.table()).filesChanged({guano});
    EXPECT_EQ(positionOf("guano.wav"), QStringLiteral("52.1 13.2"));
    EXPECT_EQ(positionOf("plain.wav"), QString());
    EXPECT_EQ(window_.table()->recordingCount(), 5);
}

// Read several at once: rows in the list's order, the broken file set aside; a cancel keeps nothing.
TEST_F(WavImportTest, FilesReadAtOnceKeepTheListsOrderAndACancelKeepsNothing) {
    QStringList files = wavFilesIn({card_.path()});
    std::reverse(files.begin(), files.end());
    const WavImport import = readWavFiles(files, {}, 3);
    QStringList read;
    for (const TableRecording &row : import.recordings)
        read.append(row.path);
    ASSERT_EQ(import.skipped.size(), 1);
    QStringList expected = files;
    expected.removeOne(import.skipped.front().path);
    EXPECT_EQ(read, expected);
    EXPECT_TRUE(import.skipped.front().path.endsWith(QLatin1String("broken.wav")));

    const WavImport cancelled = readWavFiles(files, [](int) { return false; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.recordings.isEmpty());
    EXPECT_TRUE(cancelled.skipped.isEmpty());
}
