#include "host/PluginLoading.h"
#include "TestFiles.h"
#include "framework/AbstractPlugin.h"

#include <QFileInfo>
#include <QProcess>

using namespace pelorin;

TEST(PluginLoading, SearchesBesideTheBinaryThenThePath) {
    EXPECT_EQ(pluginFolders(QStringLiteral("/opt/p/bin"), QStringLiteral("/a::/b/c:")),
              (QStringList{"/opt/p/bin/plugins", "/a", "/b/c"}));
}

// In-process and through `pelorin-host --list-plugins` run without a display.
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

    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELORIN_PLUGIN_PATH"), pluginDir + QLatin1Char(':') + bogus.path());
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromUtf8(name));
    host.setProcessEnvironment(env);
    host.start(QStringLiteral(PELORIN_HOST_BINARY), {QStringLiteral("--list-plugins")});
    ASSERT_TRUE(host.waitForFinished(60000));
    const QString out = QString::fromUtf8(host.readAllStandardOutput());
    const QString err = QString::fromUtf8(host.readAllStandardError());
    EXPECT_EQ(host.exitCode(), 0) << err.toStdString();
    EXPECT_TRUE(out.split(QLatin1Char('\n')).contains(QStringLiteral("Test plug-in"))) << out.toStdString();
    EXPECT_TRUE(err.contains(QLatin1String("load error:")) && err.contains(QLatin1String("libbogus.so")))
        << err.toStdString();
}
