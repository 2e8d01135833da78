#include "host/PluginLoading.h"
#include "TestFiles.h"
#include "framework/AbstractPlugin.h"

#include <QFileInfo>

using namespace pelorin;

TEST(PluginLoading, SearchesBesideTheBinaryTheInstalledFolderThenThePath) {
    const QStringList folders = pluginFolders(QStringLiteral("/opt/p/bin"), QStringLiteral("/a::/b/c:"));
    ASSERT_EQ(folders.size(), 4);
    EXPECT_EQ(folders[0], "/opt/p/bin/plugins");
    EXPECT_TRUE(folders[1].startsWith("/opt/p/lib") && folders[1].endsWith("/pelorin/plugins"))
        << folders[1].toStdString();
    EXPECT_EQ(folders.mid(2), (QStringList{"/a", "/b/c"}));
}

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
}
