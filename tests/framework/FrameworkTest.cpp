#include "framework/AbstractPlugin.h"
#include "framework/HostDelegate.h"
#include "framework/RecordingValue.h"

#include <QPluginLoader>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace pelorin;

namespace {
// Installed as the host's delegate while it lives, with a fixed selection.
class FakeHost : public HostDelegate, public RecordingsController {
public:
    explicit FakeHost(std::optional<QList<HostRecording>> selection)
        : selection_(std::move(selection)) {
        setHostDelegate(this);
    }
    ~FakeHost() override { setHostDelegate(nullptr); }
    RecordingsController *recordingsController() override { return this; }
    MapDisplay *centralMapDisplay() override { return nullptr; }
    std::optional<QList<HostRecording>> selectedObjects() const override { return selection_; }

private:
    std::optional<QList<HostRecording>> selection_;
};
} // namespace

// The plug-in reaches the delegate the host installed across the library
// boundary, and sees exactly the host's selection.
TEST(PluginInterface, LoadedPluginSeesTheHostSelectionThroughTheDelegate) {
    QPluginLoader loader(QStringLiteral(PELORIN_TEST_PLUGIN));
    auto *plugin = qobject_cast<AbstractPlugin *>(loader.instance());
    ASSERT_NE(plugin, nullptr) << loader.errorString().toStdString();
    EXPECT_TRUE(plugin->init());
    QObject sender;
    sender.setObjectName(QStringLiteral("menu action"));
    const auto selected = [&](QObject *from) {
        plugin->fire(from);
        return plugin->property("selectedCount").toInt();
    };
    EXPECT_EQ(selected(&sender), -1) << "no host installed";
    EXPECT_EQ(plugin->property("firedBy").toString(), QStringLiteral("menu action"));
    {
        const HostRecording recording(QDateTime::fromSecsSinceEpoch(1700000000), QStringLiteral("a.wav"), {});
        FakeHost host(QList<HostRecording>{recording, recording});
        EXPECT_EQ(selected(&sender), 2);
    }
    EXPECT_EQ(hostDelegate(), nullptr);
    FakeHost noSelection(std::nullopt);
    EXPECT_EQ(selected(nullptr), -1);
}

TEST(RecordingValue, ARowWithoutADateHasNoStartTime) {
    const Recording dated =
        toRecording(HostRecording(QDateTime::fromMSecsSinceEpoch(1'000, QTimeZone::utc()), "a.wav", {}));
    EXPECT_EQ(dated.recordingTime.time_since_epoch().count(), 1'000);
    EXPECT_TRUE(dated.hasTime());
    EXPECT_FALSE(toRecording(HostRecording(QDateTime(), "b.wav", {})).hasTime());
}
