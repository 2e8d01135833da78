// "Write positions into recordings…": the host's WAV files get their positions, the others are left alone.

#include "PluginFixture.h"
#include "recordings/WavRecording.h"
#include "recordings/WavWriter.h"

TEST_F(PluginTest, WritePositionsIntoWavFilesAndTheHostReadsThemAgain) {
    using pelorin::test::WavWriter;
    const auto wav = [](const std::string &guano, std::size_t audio = 100) {
        WavWriter writer;
        writer.fmt();
        if (!guano.empty())
            writer.guano("Timestamp: 2009-05-01T10:00:" + guano);
        return writer.audio(audio).bytes();
    };
    const struct {
        const char *name, *utc;
        std::string bytes;
        const char *position; // read back after the write; empty: the file keeps its bytes
    } files[] = {
        // The pass works in single precision, as for the command.
        {"early.wav", "2009-05-01T10:00:30Z", wav("30Z\nSpecies Manual ID: Pip\n", 101 /* odd-sized */),
         "48.099998 11.550000"},
        {"late.wav", "2009-05-01T10:01:30Z", wav(""), "48.074997 11.650000"},
        {"next-year.wav", "2010-05-01T10:00:30Z", wav(""), ""},
        {"own.wav", "2009-05-01T10:00:40Z", wav("40Z\nLoc Position: 1.0 2.0\n"), ""},
        {"broken.wav", "2009-05-01T10:00:50Z", "not a WAV file", ""},
    };
    QList<pelorin::HostRecording> rows;
    QStringList paths;
    for (const auto &file : files) {
        paths << writeFile(file.name, QByteArray::fromStdString(file.bytes));
        rows << rec(file.name, file.utc);
        rows.back().setPath(paths.back());
    }
    selection = rows;
    QStringList confirm, result;
    steps = {chooseFile(trackFile()),
             press("writePositions"),
             answerAlert(&confirm),
             answerAlert(&result),
             {"PelorinMain", [](QWidget *panel) { panel->close(); }}};
    plugin.fire(nullptr);

    EXPECT_EQ(confirm.mid(2), (QStringList{"Write", "Cancel"}));
    ASSERT_EQ(result.size(), 3);
    EXPECT_TRUE(
        result[1].startsWith("Wrote positions into 2 of 5 recordings (1 not placed, 1 refused, 1 kept "
                             "the position they had)."))
        << result[1].toStdString();
    EXPECT_TRUE(result[1].contains(paths[4] + ": ")) << result[1].toStdString();
    EXPECT_EQ(changedFiles, paths.mid(0, 2));
    for (std::size_t i = 0; i < std::size(files); ++i) {
        const auto &file = files[i];
        const QString &path = paths[static_cast<qsizetype>(i)];
        if (*file.position == '\0') {
            EXPECT_EQ(contents(path).toStdString(), file.bytes) << file.name;
            continue;
        }
        const pelorin::WavResult read = pelorin::readWavRecording(QFile::encodeName(path).toStdString());
        ASSERT_TRUE(read.value) << file.name << ": " << read.error;
        EXPECT_EQ(read.value->position.value_or(""), file.position) << file.name;
    }
}
