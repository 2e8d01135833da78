#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace pelorin {

class AbstractPlugin;

struct LoadedPlugin {
    QString path;           // the library file
    AbstractPlugin *plugin; // owned by its loader; lives as long as the process
};

struct PluginLoadReport {
    QList<LoadedPlugin> plugins;
    QStringList errors; // one line per library that could not be used
};

// The folders searched for plug-ins, in order: "plugins" beside the binary (a
// build tree), the installed plug-in folder relative to the binary
// (lib/<arch>/pelorin/plugins under the prefix), then each entry of the
// ':'-separated search path (empty entries skipped).
QStringList pluginFolders(const QString &applicationDir, const QString &searchPath);

// Loads every library in the folders whose root object is an AbstractPlugin
// and initialises it. A library reached twice is loaded once; a folder that
// does not exist is no error.
PluginLoadReport loadPlugins(const QStringList &folders);

} // namespace pelorin
