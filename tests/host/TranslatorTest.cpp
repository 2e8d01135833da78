#include "framework/StringTable.h"
#include "host/HostTranslator.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace pelorin;

namespace {
void removeTranslators() {
    for (QTranslator *translator : QCoreApplication::instance()->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}
} // namespace

TEST(HostTranslator, InstallsTheHostStringTableForTheLocale) {
    ASSERT_TRUE(
        installHostTranslator(*QCoreApplication::instance(), QLocale(QLocale::German, QLocale::Germany)));
    EXPECT_EQ(hostLocalizedString("Export KML file"), QStringLiteral("KML-Datei exportieren"));
    EXPECT_EQ(hostLocalizedString("A key nobody translated"), QStringLiteral("A key nobody translated"));
    removeTranslators();

    EXPECT_FALSE(installHostTranslator(*QCoreApplication::instance(), QLocale(QLocale::Icelandic)));
    EXPECT_EQ(hostLocalizedString("Export KML file"), QStringLiteral("Export KML file"));
    removeTranslators();
}
