#include "host/MainWindow.h"

#include "framework/AbstractPlugin.h"
#include "host/Catalogue.h"
#include "host/CentralMapDisplay.h"
#include "host/HostSettings.h"
#include "host/RecordingsTableView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
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
    cataloguePath_ = QFileInfo(path).absoluteFilePath();
    storeLastCatalogue(cataloguePath_);
    setWindowTitle(tr("Pelorin Host — %1").arg(QFileInfo(path).fileName()));
    updateStatus();
    return true;
}

void MainWindow::chooseCatalogue() {
    const QString start = cataloguePath_.isEmpty() ? QDir::homePath() : QFileInfo(cataloguePath_).path();
    const QString path = QFileDialog::getOpenFileName(this, tr("Open catalogue"), start,
                                                      tr("Recordings catalogue (*.csv);;All files (*)"));
    if (!path.isEmpty())
        openCatalogue(path);
}

void MainWindow::updateStatus() {
    selectionLabel_->setText(tr("%1 of %2 recordings selected")
                                 .arg(table_->selectionModel()->selectedRows().size())
                                 .arg(table_->recordingCount()));
}

} // namespace pelorin
