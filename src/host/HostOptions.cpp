#include "host/HostOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace pelorin {

namespace {

constexpr auto kListPlugins = "list-plugins";

void addHostOptions(QCommandLineParser &parser) {
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
}

} // namespace

HostOptions parseHostOptions(const QCoreApplication &app) {
    QCommandLineParser parser;
    addHostOptions(parser);
    parser.process(app);

    HostOptions options;
    options.listPlugins = parser.isSet(QString::fromLatin1(kListPlugins));
    options.catalogue = parser.value(QStringLiteral("catalogue"));
    options.selectAll = parser.isSet(QStringLiteral("select-all"));
    options.showKml = parser.value(QStringLiteral("show-kml"));
    options.addRecordings = parser.values(QStringLiteral("add-recordings"));
    return options;
}

HostStart hostStartFor(int argc, char **argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    addHostOptions(parser);
    // A line the parser rejects may hold the window system's own options
    // (-platform, -display), which only the application object takes.
    if (!parser.parse(arguments))
        return HostStart::Windows;
    if (parser.isSet(QStringLiteral("help-all")) || parser.isSet(QString::fromLatin1(kListPlugins)))
        return HostStart::Offscreen;
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version")))
        return HostStart::TextOnly;
    return HostStart::Windows;
}

} // namespace pelorin
