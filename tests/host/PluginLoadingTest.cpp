#include "host/PluginLoading.h"
#include "TestFiles.h"
#include "framework/AbstractPlugin.h"

#include <QFileInfo>
#include <QProcess>

using namespace pelorin;

TEST(PluginLoading, SearchesBesideTheBinaryTheInstalledFolderThenThePath) {
    const QStringList folders = pluginFolders(QStringLiteral("/opt/p/bin"), QStringLiteral("/a::/b/c:"));
    ASSERT_EQ(folders.size(), 4);
    EXPECT_EQ(folders[0], "/opt/p/bin/plugins");
    EXPECT_TRUE(folders[1].startsWith("/opt/p/lib") && folders[1].endsWith("/pelorin/plugins"))
        << folders[1].toStdString();
    EXPECT_EQ(folders.mid(2), (QStringList{"/a", "/b/c"}));
}

// In-process, and through `pelorin-host --list-plugins` without a display, as help and the version are.
TEST(PluginLoading, ListsEachPluginOnceAndReportsLibrariesThatFail) {
    const QString pluginDir = QFileInfo(QStringLiteral(PELORIN_TEST_PLUGIN)).absolutePath();
    QTemporaryDir bogus;
    writeFile(bogus, "libbogus.so", "not a shared object\n");
    writeFile(bogus, "README.txt", "");

    const PluginLoadReport report =
        loadPlugins({pluginDir, QStringLiteral("/nonexistent/folder"), bogus.path(), pluginDir});
    ASSERT_EQ(report.plugins.size(), 1);
    EXPECT_EQ(report.plugins[0].plugin->name(), QStringLiteral("Test plug-in"));
    EXPECT_EQ(QFileInfo(report.plugins[0].path), QFileInfo(QStringLiteral(PELORIN_TEST_PLUGIN)));
    ASSERT_EQ(report.errors.size(), 1) << report.errors.join('\n').toStdString();
    EXPECT_TRUE(report.errors[0].contains(QLatin1String("libbogus.so")));

    // pelorin-host answers these without a display.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELORIN_PLUGIN_PATH"), pluginDir + QLatin1Char(':') + bogus.path());
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromUtf8(name));
    const struct {
        const char *argument;
        QStringList lines;    // among its standard output's
        QStringList err = {}; // in its standard error
    } runs[] = {
        {"--list-plugins", {"Test plug-in"}, {"load error: ", "libbogus.so"}},
        {"--help",
         {"Pelorin recordings host", "  --catalogue <file>  Open the recordings catalogue <file>."}},
        {"--version", {"pelorin-host " PELORIN_VERSION}},
        {"--help-all",
         {"  --qwindowtitle <title>               Title of the first window."}}, // the GUI's own
    };
    for (const auto &run : runs) {
        QProcess host;
        host.setProcessEnvironment(env);
        host.start(QStringLiteral(PELORIN_HOST_BINARY), {QString::fromLatin1(run.argument)});
        ASSERT_TRUE(host.waitForFinished(60000)) << run.argument;
        const QStringList out = QString::fromUtf8(host.readAllStandardOutput()).split(QLatin1Char('\n'));
        const QString err = QString::fromUtf8(host.readAllStandardError());
        EXPECT_TRUE(host.exitStatus() == QProcess::NormalExit && host.exitCode() == 0)
            << run.argument << ": " << err.toStdString();
        for (const QString &line : run.lines)
            EXPECT_TRUE(out.contains(line)) << run.argument << ": " << out.join('\n').toStdString();
        for (const QString &text : run.err)
            EXPECT_TRUE(err.contains(text)) << run.argument << ": " << err.toStdString();
    }
}
