#pragma once

#include "host/PluginLoading.h"

#include <QMainWindow>

class QLabel;
class QMenu;

namespace pelorin {

class CentralMapDisplay;
class RecordingsTableView;

// The host's main window: the recordings table, File and Plug-ins menus and
// a status line.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(CentralMapDisplay *mapDisplay, QWidget *parent = nullptr);

    RecordingsTableView *table() const { return table_; }
    // Lists the plug-ins and reports, once, the libraries that failed.
    void setPlugins(const PluginLoadReport &report);
    // Loads a catalogue into the table; on failure tells the user (unless
    // quiet) and returns the message.
    bool openCatalogue(const QString &path, QString *error = nullptr);

private:
    void chooseCatalogue();
    void updateStatus();

    RecordingsTableView *table_;
    CentralMapDisplay *mapDisplay_;
    QMenu *pluginsMenu_;
    QLabel *selectionLabel_;
    QString cataloguePath_;
};

} // namespace pelorin
