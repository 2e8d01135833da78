#include "host/HostOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstring>

namespace pelorin {

namespace {
constexpr auto kListPlugins = "list-plugins";
} // namespace

HostOptions parseHostOptions(const QCoreApplication &app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("pelorin::HostOptions", "Pelorin recordings host"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption list(
        QString::fromLatin1(kListPlugins),
        QCoreApplication::translate("pelorin::HostOptions",
                                    "Print the loaded plug-ins and load errors, then exit."));
    const QCommandLineOption catalogue(
        QStringLiteral("catalogue"),
        QCoreApplication::translate("pelorin::HostOptions", "Open the recordings catalogue <file>."),
        QStringLiteral("file"));
    const QCommandLineOption selectAll(
        QStringLiteral("select-all"),
        QCoreApplication::translate("pelorin::HostOptions", "Select every recording of the catalogue."));
    QCommandLineOption showKml(QStringLiteral("show-kml"), QString(), QStringLiteral("file"));
    showKml.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption addRecordings(QStringLiteral("add-recordings"), QString(), QStringLiteral("path"));
    addRecordings.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({list, catalogue, selectAll, showKml, addRecordings});
    parser.process(app);

    HostOptions options;
    options.listPlugins = parser.isSet(list);
    options.catalogue = parser.value(catalogue);
    options.selectAll = parser.isSet(selectAll);
    options.showKml = parser.value(showKml);
    options.addRecordings = parser.values(addRecordings);
    return options;
}

bool wantsPluginListing(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        while (*arg == '-')
            ++arg;
        if (std::strcmp(arg, kListPlugins) == 0)
            return true;
    }
    return false;
}

} // namespace pelorin
