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
    // Appends the recordings of WAV files, and of every *.wav below the
    // folders among paths, that the table does not hold yet; a progress
    // dialog shows for long reads. The files that could not be read are
    // listed in a message box, or in skippedMessage when given ("" for none).
    // Returns how many recordings were added.
    int addRecordings(const QStringList &paths, QString *skippedMessage = nullptr);
    // Saves every recording, in the order shown, as a catalogue that is
    // then the one reopened at start-up; on failure tells the user (unless
    // quiet) and returns the message.
    bool saveCatalogueTo(const QString &path, QString *error = nullptr);

private:
    void chooseCatalogue();
    void chooseMap();
    void linkMapAndTable();
    void chooseRecordingFiles();
    void chooseRecordingsFolder();
    void chooseCatalogueDestination();
    void setCataloguePath(const QString &path);
    QString recordingsStart() const; // the folder file dialogs open in
    void updateStatus();

    RecordingsTableView *table_;
    CentralMapDisplay *mapDisplay_;
    QMenu *pluginsMenu_;
    QLabel *selectionLabel_;
    QString cataloguePath_;
    QString recordingsFolder_; // where the last recordings were added from
};

} // namespace pelorin
