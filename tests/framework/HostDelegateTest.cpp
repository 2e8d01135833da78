#include "FakeHostDelegate.h"
#include "framework/StringTable.h"

#include <gtest/gtest.h>

using namespace pelorin;

TEST(HostDelegate, IsReachableWhileInstalledAndGoneAfter) {
    EXPECT_EQ(hostDelegate(), nullptr);
    FakeHostDelegate host(QList<HostRecording>{});
    {
        ScopedHostDelegate installed(&host);
        ASSERT_EQ(hostDelegate(), &host);
        EXPECT_EQ(hostDelegate()->recordingsController()->selectedObjects()->size(), 0);
    }
    EXPECT_EQ(hostDelegate(), nullptr);
}

TEST(HostStringTable, KeyWithoutTranslationComesBackUnchanged) {
    EXPECT_STREQ(kHostStringContext, "Pelorin");
    EXPECT_EQ(hostLocalizedString("Export KML file"), QStringLiteral("Export KML file"));
    EXPECT_EQ(hostLocalizedString(""), QString());
}
