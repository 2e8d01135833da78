// Loaded into pelorin-host by scripts/screenshots: takes one scene's pictures from the running host and
// ends it. PELORIN_SHOT_SCENE names the scene:
//   screen    the host's windows as they are on screen, after PELORIN_SHOT_WAIT seconds
//   map       the map window alone, likewise
//   plugin    the Pelorin plug-in on the selected recordings: its open dialog, the panel filled, a preview
//   ahead     the same with the recorder an hour ahead: the alert, the diagnosis, the offset applied
// PELORIN_SHOT_OUT is the folder for the pictures (screen and map: the file), PELORIN_SHOT_TRACK the GPS log.

#include "framework/AbstractPlugin.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>

namespace {

QString env(const char *name) {
    return qEnvironmentVariable(name);
}

void fail(const QString &why) {
    std::fprintf(stderr, "screenshot driver: %s\n", qPrintable(why));
    std::exit(1);
}

void save(const QPixmap &picture, const QString &path) {
    if (picture.isNull())
        fail(QStringLiteral("nothing on screen for %1").arg(path));
    if (!picture.save(path))
        fail(QStringLiteral("cannot write %1").arg(path));
}

// The screen where the host's windows are, as the X server shows it.
void shootScreen(const QString &path) {
    QRect shown;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowType() != Qt::Popup)
            shown |= window->frameGeometry();
    save(QGuiApplication::primaryScreen()->grabWindow(0, shown.x(), shown.y(), shown.width(), shown.height()),
         path);
}

void shootWindow(QWidget *window, const QString &path) {
    const QRect at = window->frameGeometry();
    save(QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), at.width(), at.height()), path);
}

QWidget *windowTitled(const QString &prefix) {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowTitle().startsWith(prefix))
            return window;
    fail(QStringLiteral("no window titled %1").arg(prefix));
    return nullptr;
}

template <typename T> T *child(QWidget *in, const char *name) {
    T *found = in->findChild<T *>(QLatin1String(name));
    if (!found)
        fail(QStringLiteral("no %1").arg(QLatin1String(name)));
    return found;
}

// The modal widgets as they come up, answered one step each, in order, a moment after they show.
class Driver : public QObject {
public:
    using Step = std::pair<QString, std::function<void(QWidget *)>>;

    explicit Driver(std::deque<Step> steps)
        : steps_(std::move(steps)) {
        connect(&poll_, &QTimer::timeout, this, &Driver::answer);
        poll_.start(100);
    }

private:
    void answer() {
        QWidget *top = QApplication::activeModalWidget();
        if (!top || top == last_ || busy_)
            return;
        const QString name = top->objectName().isEmpty() ? top->metaObject()->className() : top->objectName();
        if (steps_.empty() || steps_.front().first != name)
            return;
        last_ = top;
        busy_ = true;
        QTimer::singleShot(1500, top, [this, top, act = std::move(steps_.front().second)] {
            busy_ = false;
            act(top);
        });
        steps_.pop_front();
    }

    std::deque<Step> steps_;
    QTimer poll_;
    QWidget *last_ = nullptr;
    bool busy_ = false;
};

// Runs the plug-in from the host's Plug-ins menu, as a user would.
void firePelorin() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow *>(window) && window->isVisible())
            for (QAction *action : window->findChildren<QAction *>())
                if (action->text() == QLatin1String("Pelorin")) {
                    QTimer::singleShot(0, action, &QAction::trigger);
                    return;
                }
    fail(QStringLiteral("the Pelorin plug-in is not loaded"));
}

void finish() {
    QTimer::singleShot(0, [] {
        std::fflush(nullptr);
        std::_Exit(0);
    });
}

// Afterwards: once the map window has read and drawn the preview.
void later(int seconds, std::function<void()> then) {
    QTimer::singleShot(seconds * 1000, std::move(then));
}

void chooseTrack(QWidget *dialog, const QString &track) {
    child<QLineEdit>(dialog, "fileNameEdit")->setText(QFileInfo(track).fileName());
    static_cast<QDialog *>(dialog)->accept();
}

void pluginScene(const QDir &out, const QString &track) {
    new Driver({{"QFileDialog",
                 [=](QWidget *dialog) {
                     // The folder the user went to, the dialog's list read before the picture.
                     static_cast<QFileDialog *>(dialog)->setDirectory(QFileInfo(track).absolutePath());
                     later(2, [=] {
                         shootWindow(dialog->parentWidget()->window(),
                                     out.filePath("plugin-open-dialog.png"));
                         chooseTrack(dialog, track);
                     });
                 }},
                {"PelorinMain", [=](QWidget *panel) {
                     child<QLineEdit>(panel, "timeDiff")->setText(QStringLiteral("37"));
                     child<QLineEdit>(panel, "transectName")
                         ->setText(QStringLiteral("River bank and woodland edge"));
                     later(1, [=] {
                         shootWindow(panel, out.filePath("plugin-panel.png"));
                         child<QAbstractButton>(panel, "previewButton")->click();
                         later(4, [=] {
                             shootScreen(out.filePath("plugin-preview.png"));
                             finish();
                         });
                     });
                 }}});
    firePelorin();
}

void aheadScene(const QDir &out, const QString &track) {
    new Driver({{"QFileDialog",
                 [=](QWidget *dialog) {
                     static_cast<QFileDialog *>(dialog)->setDirectory(QFileInfo(track).absolutePath());
                     chooseTrack(dialog, track);
                 }},
                {"PelorinMain",
                 [](QWidget *panel) {
                     panel->resize(1500, 720);
                     child<QLineEdit>(panel, "timeDiff")->setText(QStringLiteral("37"));
                     child<QAbstractButton>(panel, "previewButton")->click();
                 }},
                {"QMessageBox",
                 [=](QWidget *alert) {
                     shootWindow(alert, out.filePath("plugin-no-overlap.png"));
                     static_cast<QMessageBox *>(alert)->buttons().constFirst()->click();
                 }},
                {"PelorinMain", [=](QWidget *panel) {
                     child<QTableView>(panel, "recordingsTable")
                         ->horizontalHeader()
                         ->setSectionResizeMode(QHeaderView::ResizeToContents);
                     QApplication::processEvents();
                     shootWindow(panel, out.filePath("plugin-diagnosis.png"));
                     child<QAbstractButton>(panel, "applySuggestedOffset")->click();
                     child<QAbstractButton>(panel, "previewButton")->click();
                     later(3, [=] {
                         panel->raise();
                         panel->activateWindow();
                         later(1, [=] {
                             shootWindow(panel, out.filePath("plugin-placements.png"));
                             finish();
                         });
                     });
                 }}});
    firePelorin();
}

} // namespace

class ScreenshotDriver : public pelorin::AbstractPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PelorinAbstractPlugin_iid)
public:
    bool init() override {
        const QString scene = env("PELORIN_SHOT_SCENE");
        const QString out = env("PELORIN_SHOT_OUT");
        const QString track = env("PELORIN_SHOT_TRACK");
        const int wait = env("PELORIN_SHOT_WAIT").isEmpty() ? 2 : env("PELORIN_SHOT_WAIT").toInt();
        // Once the host's windows are up.
        QTimer::singleShot(1000, this, [=] {
            if (scene == QLatin1String("screen"))
                later(wait, [=] {
                    shootScreen(out);
                    finish();
                });
            else if (scene == QLatin1String("map"))
                later(wait, [=] {
                    shootWindow(windowTitled(QStringLiteral("Map")), out);
                    finish();
                });
            else if (scene == QLatin1String("plugin"))
                pluginScene(QDir(out), track);
            else if (scene == QLatin1String("ahead"))
                aheadScene(QDir(out), track);
            else
                fail(QStringLiteral("no scene %1").arg(scene));
        });
        // A scene that hangs ends the host rather than the script.
        QTimer::singleShot(120'000, this, [] { fail(QStringLiteral("the scene never ended")); });
        return true;
    }
    QString name() const override { return QStringLiteral("Screenshots"); }
    void fire(QObject *) override {}
};

#include "ScreenshotDriver.moc"
