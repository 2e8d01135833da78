#include "host/PluginLoading.h"
#include "framework/AbstractPlugin.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pelorin;

namespace {

const QString kTestPluginDir = QFileInfo(QStringLiteral(PELORIN_TEST_PLUGIN)).absolutePath();

// A folder holding one file that merely looks like a library.
struct BogusPluginFolder {
    QTemporaryDir dir;
    QString library = dir.filePath(QStringLiteral("libbogus.so"));
    BogusPluginFolder() {
        QFile file(library);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a shared object\n");
        QFile notes(dir.filePath(QStringLiteral("README.txt")));
        EXPECT_TRUE(notes.open(QIODevice::WriteOnly));
    }
};

} // namespace

TEST(PluginLoading, SearchesBesideTheBinaryThenThePath) {
    EXPECT_EQ(pluginFolders(QStringLiteral("/opt/p/bin"), QStringLiteral("/a::/b/c:")),
              (QStringList{"/opt/p/bin/plugins", "/a", "/b/c"}));
    EXPECT_EQ(pluginFolders(QStringLiteral("/x"), QString()), QStringList{"/x/plugins"});
}

TEST(PluginLoading, LoadsEachPluginOnceAndReportsLibrariesThatFail) {
    BogusPluginFolder bogus;
    const PluginLoadReport report = loadPlugins(
        {kTestPluginDir, QStringLiteral("/nonexistent/folder"), bogus.dir.path(), kTestPluginDir});
    ASSERT_EQ(report.plugins.size(), 1);
    EXPECT_EQ(report.plugins[0].plugin->name(), QStringLiteral("Test plug-in"));
    EXPECT_EQ(QFileInfo(report.plugins[0].path), QFileInfo(QStringLiteral(PELORIN_TEST_PLUGIN)));
    ASSERT_EQ(report.errors.size(), 1) << report.errors.join('\n').toStdString();
    EXPECT_TRUE(report.errors[0].contains(QLatin1String("libbogus.so")));
}

TEST(PluginLoading, HostListsPluginsAndLoadErrorsWithoutADisplay) {
    BogusPluginFolder bogus;
    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELORIN_PLUGIN_PATH"), kTestPluginDir + QLatin1Char(':') + bogus.dir.path());
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
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
