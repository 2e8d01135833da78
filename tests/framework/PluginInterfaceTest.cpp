#include "FakeHostDelegate.h"
#include "framework/AbstractPlugin.h"

#include <QJsonObject>
#include <QPluginLoader>

#include <gtest/gtest.h>

using namespace pelorin;

namespace {

AbstractPlugin *loadTestPlugin() {
    static QPluginLoader loader(QStringLiteral(PELORIN_TEST_PLUGIN));
    return qobject_cast<AbstractPlugin *>(loader.instance());
}

HostRecording recording(const char *filename) {
    return HostRecording(QDateTime::fromSecsSinceEpoch(1700000000), QString::fromUtf8(filename), {});
}

} // namespace

TEST(PluginInterface, TestPluginLoadsAsAnAbstractPlugin) {
    QPluginLoader loader(QStringLiteral(PELORIN_TEST_PLUGIN));
    EXPECT_EQ(loader.metaData().value(QStringLiteral("IID")).toString(),
              QStringLiteral(PelorinAbstractPlugin_iid));
    AbstractPlugin *plugin = loadTestPlugin();
    ASSERT_NE(plugin, nullptr) << loader.errorString().toStdString();
    EXPECT_TRUE(plugin->init());
    EXPECT_EQ(plugin->name(), QStringLiteral("Test plug-in"));
}

// The plug-in reaches the delegate the host installed, across the library
// boundary, and sees exactly the host's selection.
TEST(PluginInterface, FireSeesTheHostSelectionThroughTheDelegate) {
    AbstractPlugin *plugin = loadTestPlugin();
    ASSERT_NE(plugin, nullptr);
    QObject sender;
    sender.setObjectName(QStringLiteral("menu action"));

    plugin->fire(&sender);
    EXPECT_EQ(plugin->property("selectedCount").toInt(), -1) << "no host installed";
    EXPECT_EQ(plugin->property("firedBy").toString(), QStringLiteral("menu action"));

    FakeHostDelegate host(QList<HostRecording>{recording("a.wav"), recording("b.wav")});
    {
        ScopedHostDelegate installed(&host);
        plugin->fire(&sender);
        EXPECT_EQ(plugin->property("selectedCount").toInt(), 2);
    }

    FakeHostDelegate noSelection(std::nullopt);
    ScopedHostDelegate installed(&noSelection);
    plugin->fire(nullptr);
    EXPECT_EQ(plugin->property("selectedCount").toInt(), -1);
    EXPECT_EQ(plugin->property("firedBy").toString(), QString());
}
