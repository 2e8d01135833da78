#include "host/MainWindow.h"

#include "framework/AbstractPlugin.h"
#include "host/Catalogue.h"
#include "host/HostSettings.h"
#include "host/RecordingsTableView.h"
#include "host/WavImport.h"
#include "map/CentralMapDisplay.h"
#include "map/MapWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStatusBar>

namespace pelorin {

MainWindow::MainWindow(CentralMapDisplay *mapDisplay, QWidget *parent)
    : QMainWindow(parent)
    , table_(new RecordingsTableView(this))
    , mapDisplay_(mapDisplay) {
    setWindowTitle(tr("Pelorin Host"));
    setCentralWidget(table_);
    resize(820, 560);

    QMenu *file = menuBar()->addMenu(tr("&File"));
    QAction *open = file->addAction(tr("&Open catalogue…"), this, &MainWindow::chooseCatalogue);
    open->setShortcut(QKeySequence::Open);
    QAction *save = file->addAction(tr("&Save catalogue…"), this, &MainWindow::chooseCatalogueDestination);
    save->setShortcut(QKeySequence::Save);
    file->addSeparator();
    file->addAction(tr("&Add recordings…"), this, &MainWindow::chooseRecordingFiles);
    file->addAction(tr("Add recordings &folder…"), this, &MainWindow::chooseRecordingsFolder);
    file->addSeparator();
    file->addAction(tr("Open &map…"), this, &MainWindow::chooseMap);
    file->addSeparator();
    QAction *quit = file->addAction(tr("&Quit"), qApp, &QApplication::closeAllWindows);
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);

    QMenu *view = menuBar()->addMenu(tr("&View"));
    view->addAction(tr("&Map window"), this, [this] { mapDisplay_->showWindow(this); });

    pluginsMenu_ = menuBar()->addMenu(tr("&Plug-ins"));
    pluginsMenu_->setEnabled(false);

    selectionLabel_ = new QLabel(this);
    statusBar()->addPermanentWidget(selectionLabel_);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::updateStatus);
    updateStatus();
    linkMapAndTable();
}

// A pin clicked selects its recording's row, and the rows selected stand out on the map.
void MainWindow::linkMapAndTable() {
    MapWindow *map = mapDisplay_->window();
    connect(map, &MapWindow::recordingsClicked, table_, &RecordingsTableView::selectFiles);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, map, [this, map] {
        QStringList files;
        for (const HostRecording &recording : table_->selectedRecordings())
            files << recording.filename();
        map->highlightRecordings(files);
    });
}

void MainWindow::chooseMap() {
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Open map"), recordingsStart(),
        tr("Maps (*.kml *.geojson *.json);;KML (*.kml);;GeoJSON (*.geojson *.json);;All files (*)"));
    if (!path.isEmpty())
        mapDisplay_->showTrack(path);
}

void MainWindow::setPlugins(const PluginLoadReport &report) {
    pluginsMenu_->clear();
    for (const LoadedPlugin &loaded : report.plugins) {
        AbstractPlugin *plugin = loaded.plugin;
        QAction *action = pluginsMenu_->addAction(plugin->name());
        action->setToolTip(loaded.path);
        connect(action, &QAction::triggered, plugin, [plugin, action] { plugin->fire(action); });
    }
    pluginsMenu_->setEnabled(!report.plugins.isEmpty());
    if (!report.errors.isEmpty())
        statusBar()->showMessage(tr("Plug-in not loaded: %1").arg(report.errors.join(QStringLiteral("; "))));
}

bool MainWindow::openCatalogue(const QString &path, QString *error) {
    CatalogueLoad load = loadCatalogue(path);
    if (!load.ok()) {
        if (error)
            *error = load.error;
        else
            QMessageBox::warning(this, tr("Catalogue error"), load.error);
        return false;
    }
    table_->setRecordings(std::move(load.recordings));
    setCataloguePath(path);
    updateStatus();
    return true;
}

int MainWindow::addRecordings(const QStringList &paths, QString *skippedMessage) {
    QStringList files = wavFilesIn(paths);
    const qsizetype given = files.size();
    files.removeIf([this](const QString &file) { return table_->holdsFile(file); });
    const qsizetype held = given - files.size();

    QProgressDialog progress(tr("Reading recordings…"), tr("Cancel"), 0, static_cast<int>(files.size()),
                             this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    // A modal dialog's setValue() keeps the window painted and Cancel working;
    // until the dialog shows, the window is kept painted but closed to input.
    WavImport import = readWavFiles(files, [&progress](int done) {
        progress.setValue(done);
        if (!progress.isVisible())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return !progress.wasCanceled();
    });
    progress.reset();
    if (skippedMessage)
        skippedMessage->clear();
    if (import.cancelled) {
        statusBar()->showMessage(tr("Adding recordings cancelled; nothing was added."));
        return 0;
    }

    const auto added = static_cast<int>(import.recordings.size());
    table_->appendRecordings(std::move(import.recordings));
    updateStatus();
    QString status = tr("%n recording(s) added.", nullptr, added);
    if (held > 0)
        status += QLatin1Char(' ') + tr("%n already in the table.", nullptr, static_cast<int>(held));
    statusBar()->showMessage(status);
    if (!import.skipped.isEmpty()) {
        const QString message = skippedFilesMessage(import.skipped);
        if (skippedMessage)
            *skippedMessage = message;
        else
            QMessageBox::warning(this, tr("Recordings not added"), message);
    }
    return added;
}

bool MainWindow::saveCatalogueTo(const QString &path, QString *error) {
    const QString failure = saveCatalogue(path, table_->allRecordings());
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        else
            QMessageBox::warning(this, tr("Catalogue not saved"), failure);
        return false;
    }
    setCataloguePath(path);
    statusBar()->showMessage(tr("%n recording(s) saved.", nullptr, table_->recordingCount()));
    return true;
}

void MainWindow::setCataloguePath(const QString &path) {
    cataloguePath_ = QFileInfo(path).absoluteFilePath();
    storeLastCatalogue(cataloguePath_);
    setWindowTitle(tr("Pelorin Host — %1").arg(QFileInfo(path).fileName()));
}

void MainWindow::chooseCatalogue() {
    const QString start = cataloguePath_.isEmpty() ? QDir::homePath() : QFileInfo(cataloguePath_).path();
    const QString path = QFileDialog::getOpenFileName(this, tr("Open catalogue"), start,
                                                      tr("Recordings catalogue (*.csv);;All files (*)"));
    if (!path.isEmpty())
        openCatalogue(path);
}

void MainWindow::chooseRecordingFiles() {
    const QStringList files = QFileDialog::getOpenFileNames(
        this, tr("Add recordings"), recordingsStart(), tr("WAV recordings (*.wav *.WAV);;All files (*)"));
    if (files.isEmpty())
        return;
    recordingsFolder_ = QFileInfo(files.first()).path();
    addRecordings(files);
}

void MainWindow::chooseRecordingsFolder() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("Add recordings folder"), recordingsStart());
    if (folder.isEmpty())
        return;
    recordingsFolder_ = folder;
    addRecordings({folder});
}

void MainWindow::chooseCatalogueDestination() {
    QFileDialog dialog(this, tr("Save catalogue"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({tr("Recordings catalogue (*.csv)"), tr("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (cataloguePath_.isEmpty()) {
        dialog.setDirectory(recordingsStart());
        dialog.selectFile(QStringLiteral("recordings.csv"));
    } else {
        dialog.selectFile(cataloguePath_);
    }
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        saveCatalogueTo(dialog.selectedFiles().constFirst());
}

QString MainWindow::recordingsStart() const {
    if (!recordingsFolder_.isEmpty())
        return recordingsFolder_;
    return cataloguePath_.isEmpty() ? QDir::homePath() : QFileInfo(cataloguePath_).path();
}

void MainWindow::updateStatus() {
    selectionLabel_->setText(tr("%1 of %2 recordings selected")
                                 .arg(table_->selectionModel()->selectedRows().size())
                                 .arg(table_->recordingCount()));
}

} // namespace pelorin
