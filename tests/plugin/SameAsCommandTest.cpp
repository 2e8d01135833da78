// The plug-in is thin glue over the core: with two logs its Export and its Preview write, byte for byte, what
// the command writes from the same logs, the same recordings as a catalogue and the same options.

#include "PluginFixture.h"
#include "ScopedTimeZone.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>

namespace {
QByteArray runCommand(const QStringList &arguments) {
    QProcess command;
    command.start(QStringLiteral(PELORIN_CLI_PATH), arguments);
    EXPECT_TRUE(command.waitForFinished(30000));
    EXPECT_EQ(command.exitCode(), 0) << command.readAllStandardError().toStdString();
    return command.readAllStandardOutput();
}
} // namespace

TEST_F(PluginTest, ExportAndPreviewWithTwoLogsWriteWhatTheCommandWrites) {
    const pelorin::test::ScopedTimeZone berlin("CET-1CEST,M3.5.0,M10.5.0/3");
    selectTwo();
    // The selection as the command reads it. The documents echo a start time as its source gave it: a host
    // gives instants, written in the machine's zone, so the catalogue gives them so too.
    const QString catalogue = writeFile("catalogue.csv", "filename,recording_time,species\n"
                                                         "late.wav,2009-05-01T12:01:30+02:00,Nyc\n"
                                                         "early.wav,2009-05-01T12:00:30+02:00,Pip\n");
    const QString logs = twoLogs();
    const struct {
        const char *output;   // the plug-in's: exported, or previewed when empty
        int filter;           // the save dialog's kind: KML, GeoJSON, GPX
        const char *style;    // the panel's Style box, the command's --kml-style
        const char *transect; // the panel's name field, the command's --name; empty: named by the first log
    } cases[] = {{"survey.kml", 0, "survey", "Edge & meadow"},
                 {"survey.geojson", 1, "survey", ""},
                 {"survey.gpx", 2, "plain", "Edge & meadow"},
                 {"", 0, "survey", "Edge & meadow"}};
    for (const auto &c : cases) {
        // Plain names: clang 14 captures no structured bindings.
        const char *output = c.output, *style = c.style, *transect = c.transect;
        SCOPED_TRACE(std::string(output) + " " + style + " " + transect);
        const QString path = dir.filePath(output);
        steps = {chooseFile(logs), {"PelorinMain", [&](QWidget *panel) {
                                        panel->findChild<QComboBox *>("kmlStyle")->setCurrentText(style);
                                        field<QLineEdit>("transectName")->setText(transect);
                                        press(*output ? "exportButton" : "previewButton").second(panel);
                                    }}};
        if (*output)
            steps.push_back(saveAs(path, c.filter));
        plugin.fire(nullptr);
        QString written = path;
        if (!*output) {
            const QStringList previews = QDir(dir.path()).entryList({"quorvatixpreview.*"});
            ASSERT_EQ(previews.size(), 1);
            written = dir.filePath(previews.constFirst());
            plugin.myPanel->close();
        }
        const QByteArray document = contents(written);

        QStringList arguments{"--gpx", dir.filePath("night2.gpx"), "--gpx", dir.filePath("night10.gpx")};
        arguments << "--recordings" << catalogue << "--output"
                  << "-";
        if (*transect)
            arguments << "--name" << transect;
        // The Style box is for KML; the command refuses a style for other documents.
        const QString format = *output ? QFileInfo(path).suffix() : QStringLiteral("kml");
        arguments << "--format" << format;
        if (format == "kml")
            arguments << "--kml-style" << style;
        const QByteArray expected = runCommand(arguments);
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(document.toStdString(), expected.toStdString());
    }
}
