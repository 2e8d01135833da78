#include "framework/AbstractPlugin.h"
#include "host/HostApplication.h"
#include "host/HostOptions.h"
#include "host/HostSettings.h"
#include "host/HostTranslator.h"
#include "host/MainWindow.h"
#include "host/PluginLoading.h"
#include "host/RecordingsTableView.h"
#include "map/BasemapSettings.h"
#include "map/CentralMapDisplay.h"
#include "map/WindowPlacement.h"

#include <QApplication>
#include <QStatusBar>
#include <QTextStream>

#include <cstdio>

using namespace pelorin;

namespace {

int listPlugins(const PluginLoadReport &report) {
    QTextStream out(stdout);
    for (const LoadedPlugin &loaded : report.plugins)
        out << loaded.plugin->name() << '\n';
    out.flush();
    QTextStream err(stderr);
    for (const QString &error : report.errors)
        err << "load error: " << error << '\n';
    return 0;
}

void openStartCatalogue(MainWindow &window, const HostOptions &options) {
    if (!options.catalogue.isEmpty()) {
        window.openCatalogue(options.catalogue);
        return;
    }
    const QString last = lastCatalogue();
    if (last.isEmpty())
        return;
    // A catalogue that has gone since the last session is no reason for a dialog.
    QString error;
    if (!window.openCatalogue(last, &error))
        window.statusBar()->showMessage(error.section(QLatin1Char('\n'), 0, 0));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication::setOrganizationName(QStringLiteral("Pelorin"));
    QCoreApplication::setApplicationName(QStringLiteral("pelorin-host"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELORIN_VERSION));
    // Help, the version and the listing must work without a display.
    const HostStart start = hostStartFor(argc, argv);
    if (start == HostStart::TextOnly) {
        QCoreApplication app(argc, argv);
        installHostTranslator(app);
        parseHostOptions(app); // prints and exits
        return 0;
    }
    if (start == HostStart::Offscreen && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    installHostTranslator(app);
    const HostOptions options = parseHostOptions(app);

    // The delegate is installed before any plug-in initialises.
    HostApplication host;
    const PluginLoadReport plugins = loadPlugins(
        pluginFolders(QCoreApplication::applicationDirPath(), qEnvironmentVariable("PELORIN_PLUGIN_PATH")));
    if (options.listPlugins)
        return listPlugins(plugins);

    // Only the application itself reaches for tiles; tests of its parts stay off the network.
    host.mapDisplay()->setBasemap(basemapFromSettings());
    MainWindow &window = *host.mainWindow();
    window.setPlugins(plugins);
    openStartCatalogue(window, options);
    keepOnScreen(&window);
    window.show();
    if (!options.addRecordings.isEmpty())
        window.addRecordings(options.addRecordings);
    if (options.selectAll)
        window.table()->selectAll();
    if (!options.showKml.isEmpty())
        host.mapDisplay()->showTrack(options.showKml);
    return app.exec();
}
