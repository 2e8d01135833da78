#include "host/HostTranslator.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace pelorin {

bool installHostTranslator(QCoreApplication &app, const QLocale &locale) {
    auto *qtTranslator = new QTranslator(&app);
    if (qtTranslator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
    else
        delete qtTranslator;

    const QDir binaries(QCoreApplication::applicationDirPath());
    const QStringList folders{QStringLiteral(":/translations"),
                              binaries.filePath(QStringLiteral("translations")),
                              binaries.filePath(QStringLiteral(PELORIN_INSTALLED_TRANSLATION_DIR))};
    auto *translator = new QTranslator(&app);
    for (const QString &folder : folders) {
        if (translator->load(locale, QStringLiteral("pelorin-host"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
    }
    delete translator;
    return false;
}

} // namespace pelorin
