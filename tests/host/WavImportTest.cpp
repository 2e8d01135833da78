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
        write("SM4_20190501_221429.wav", WavWriter().fmt().audio(10).bytes());
        write("plain.wav", WavWriter().fmt().audio(10).bytes());
        QFile plain(card_.filePath(QStringLiteral("plain.wav")));
        ASSERT_TRUE(plain.open(QIODevice::ReadWrite));
        ASSERT_TRUE(plain.setFileTime(QDateTime(QDate(2019, 5, 1), QTime(21, 0), Qt::UTC),
                                      QFileDevice::FileModificationTime));
        write("broken.wav", "RIFF");
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
    EXPECT_EQ(window_.addRecordings({card_.path()}, &skipped), 3);
    const QMap<QString, QStringList> expected{
        {"guano.wav", {"2019-05-01T20:14:29Z", "GUANO", "Ppip, Nnoc", ""}},
        {"SM4_20190501_221429.wav", {"2019-05-01T20:14:29Z", "file name", "", ""}},
        {"plain.wav", {"2019-05-01T21:00:00Z", "modification time", "", ""}},
    };
    EXPECT_EQ(rowsByName(*window_.table()), expected);
    EXPECT_TRUE(skipped.contains(QDir::toNativeSeparators(card_.filePath(QStringLiteral("broken.wav"))) +
                                 QStringLiteral(": ")))
        << skipped.toStdString();

    // The same files again, by folder or one by one, are not added twice.
    EXPECT_EQ(
        window_.addRecordings({card_.path(), card_.filePath(QStringLiteral("night1/guano.wav"))}, &skipped),
        0);
    EXPECT_EQ(window_.table()->recordingCount(), 3);
}

TEST_F(WavImportTest, ASavedCatalogueReopensWithTheSameRecordings) {
    QString skipped;
    window_.addRecordings({card_.path()}, &skipped);
    const QString path = card_.filePath(QStringLiteral("catalogue.csv"));
    ASSERT_TRUE(window_.saveCatalogueTo(path));

    HostApplication other;
    ASSERT_TRUE(other.mainWindow()->openCatalogue(path));
    QMap<QString, QStringList> expected = rowsByName(*window_.table()); // checked by the test above
    for (QStringList &row : expected)
        row[1] = QStringLiteral("catalogue");
    EXPECT_EQ(rowsByName(*other.mainWindow()->table()), expected);

    // A broken catalogue does not open (the message names its file and line): the table and the last
    // catalogue stay.
    QString error;
    const QString bad = writeFile(card_, "bad.csv",
                                  "filename,recording_time,species\n"
                                  "rec1.wav,2025-06-12T19:35:17Z,Ppip\n"
                                  "rec2.wav,yesterday,Ppip\n");
    EXPECT_FALSE(window_.openCatalogue(bad, &error));
    EXPECT_TRUE(error.contains(bad) && error.contains(QLatin1String("Line 3:"))) << error.toStdString();
    EXPECT_EQ(window_.table()->recordingCount(), 3);
    EXPECT_EQ(lastCatalogue(), path);
}

// A plug-in that wrote into some files has the host read them again: the rows keep their place and show the
// position.
TEST_F(WavImportTest, FilesChangedByAPlugInAreReadAgain) {
    QString skipped;
    window_.addRecordings({card_.path()}, &skipped);
    const auto positionOf = [this](const char *name) {
        return rowsByName(*window_.table()).value(name).value(3);
    };
    const QString guano = card_.filePath(QStringLiteral("night1/guano.wav"));

    write("night1/guano.wav", guanoWav("Timestamp: 2019-05-01T20:14:29Z\nLoc Position: 52.1 13.2\n", 100));
    TableRecordingsController(window_.table()).filesChanged({guano});
    EXPECT_EQ(positionOf("guano.wav"), QStringLiteral("52.1 13.2"));
    EXPECT_EQ(window_.table()->recordingCount(), 3);
}
