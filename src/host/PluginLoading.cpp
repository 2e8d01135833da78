#include "host/PluginLoading.h"

#include "framework/AbstractPlugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPluginLoader>
#include <QSet>

namespace pelorin {

namespace {
QString tr(const char *text) {
    return QCoreApplication::translate("pelorin::PluginLoading", text);
}

// The plug-in in one library, or an error text.
AbstractPlugin *loadOne(const QString &path, QString *error) {
    // The loader stays alive (and with it the library) for the whole process.
    auto *loader = new QPluginLoader(path, QCoreApplication::instance());
    QObject *root = loader->instance();
    if (!root) {
        *error = tr("%1: %2").arg(path, loader->errorString());
        delete loader;
        return nullptr;
    }
    auto *plugin = qobject_cast<AbstractPlugin *>(root);
    if (!plugin) {
        *error = tr("%1: not a Pelorin plug-in").arg(path);
        loader->unload();
        delete loader;
        return nullptr;
    }
    if (!plugin->init()) {
        *error = tr("%1: the plug-in refused to start").arg(path);
        return nullptr;
    }
    return plugin;
}
} // namespace

QStringList pluginFolders(const QString &applicationDir, const QString &searchPath) {
    const QDir binaries(applicationDir);
    QStringList folders{binaries.filePath(QStringLiteral("plugins")),
                        QDir::cleanPath(binaries.filePath(QStringLiteral(PELORIN_INSTALLED_PLUGIN_DIR)))};
    for (const QString &entry : searchPath.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders.append(entry);
    return folders;
}

PluginLoadReport loadPlugins(const QStringList &folders) {
    PluginLoadReport report;
    QSet<QString> seen;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        if (!dir.exists())
            continue;
        const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo &file : files) {
            if (!QLibrary::isLibrary(file.fileName()))
                continue;
            const QString path = file.canonicalFilePath();
            if (seen.contains(path))
                continue;
            seen.insert(path);
            QString error;
            if (AbstractPlugin *plugin = loadOne(path, &error))
                report.plugins.append({path, plugin});
            else
                report.errors.append(error);
        }
    }
    return report;
}

} // namespace pelorin
