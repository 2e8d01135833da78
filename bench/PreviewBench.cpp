// The host's preview, driven as a user would: the host's main window with the
// recordings of a catalogue selected, the plug-in fired from it, the GPS log
// chosen in its file dialog, the clock offset typed, then Preview. A 5 ms timer
// on the GUI thread tells how long the window froze; the canvas's paint events
// tell when the track is on screen.
//
//   pelorin-bench-preview [--markdown] [--season] [--log FILE] [--recordings FILE] [--offset S] [--timeout S]
//
// The log and the catalogue default to bench/data/survey-1000000.gpx and
// bench/data/recordings-100000.csv (pelorin-generate-survey). With --season the
// markdown is a second table for the same section, a whole season's catalogue
// selected, with that case's budgets.
//
// Run it under Xvfb (xvfb-run -a -s "-screen 0 1280x1024x24") or with
// QT_QPA_PLATFORM=offscreen.

#include "framework/AbstractPlugin.h"
#include "host/HostApplication.h"
#include "host/MainWindow.h"
#include "host/PluginLoading.h"
#include "host/RecordingsTableView.h"
#include "map/CentralMapDisplay.h"
#include "map/MapCanvas.h"
#include "map/MapWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDesktopServices>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <functional>

using namespace pelorin;

namespace {

// kB of the process's peak resident set so far.
long peakRssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

double mb(long kb) {
    return double(kb) / 1024;
}

// The plug-in asks the map for the track this long after Preview was clicked.
constexpr double kPreviewDelayS = 2.0;

// Takes the preview file the plug-in hands to the desktop's KML viewer: that
// viewer's time is not the host's.
class DesktopSink : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl &) {}
};

// Forwards to the host's map display, noting when the track is asked for.
class ProbeMap : public MapDisplay {
public:
    ProbeMap(MapDisplay *real, std::function<void()> onShowTrack)
        : real_(real)
        , onShowTrack_(std::move(onShowTrack)) {}
    void showWindow(QObject *sender) override { real_->showWindow(sender); }
    void setCenter(double latitude, double longitude) override { real_->setCenter(latitude, longitude); }
    void showTrack(const QString &path) override {
        onShowTrack_();
        real_->showTrack(path);
    }

private:
    MapDisplay *real_;
    std::function<void()> onShowTrack_;
};

// The host's delegate with the probe in place of its map display.
class ProbeHost : public HostDelegate {
public:
    ProbeHost(HostApplication &host, std::function<void()> onShowTrack)
        : host_(host)
        , map_(host.centralMapDisplay(), std::move(onShowTrack)) {}
    RecordingsController *recordingsController() override { return host_.recordingsController(); }
    MapDisplay *centralMapDisplay() override { return &map_; }

private:
    HostApplication &host_;
    ProbeMap map_;
};

// Times the paint events of a widget, the time spent painting included.
// The calling thread's CPU time, ms: steadier than wall time on a shared machine.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

class PaintProbe : public QObject {
public:
    std::function<void(double ms, double cpuMs)> painted; // how long the painting took

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::Paint)
            return false;
        QElapsedTimer clock;
        clock.start();
        const double cpu = threadCpuMs();
        watched->event(event);
        if (painted)
            painted(double(clock.nsecsElapsed()) / 1e6, threadCpuMs() - cpu);
        return true;
    }
};

class ActionDriver : public QObject {
public:
    enum class Phase { Start, Loading, Ready, Previewing, Showing, Done };

    struct Figures {
        double interactiveS = -1;
        double loadFreezeMs = 0;
        double trackShownS = -1;
        double clickToTrackS = -1; // from the click on Preview, less the plug-in's fixed delay
        double showFreezeMs = 0;
        long rssLoadedKb = -1;
        long rssAfterKb = -1;
        long rssAskedKb = -1;  // when the plug-in asked for the track
        double documentS = -1; // from the call until the document was on the canvas
        double paintMs = -1;   // the painting that first showed it
        double paintCpuMs = -1;
        long rssStartKb = -1;
        QString error;
    };

    ActionDriver(QString log, QString offset, MapCanvas *canvas)
        : log_(std::move(log))
        , offset_(std::move(offset))
        , canvas_(canvas) {
        ticker_.setTimerType(Qt::PreciseTimer);
        ticker_.setInterval(5);
        connect(&ticker_, &QTimer::timeout, this, &ActionDriver::tick);
        probe_.painted = [this](double ms, double cpuMs) { painted(ms, cpuMs); };
        canvas_->installEventFilter(&probe_);
    }

    void start() {
        figures_.rssStartKb = peakRssKb();
        clock_.start();
        lastTick_ = 0;
        ticker_.start();
    }

    // The map display has the document (or its error).
    void documentShown() {
        if (phase_ == Phase::Showing)
            figures_.documentS = (now() - shownAt_) / 1000;
    }

    void showTrackCalled() {
        if (phase_ != Phase::Previewing)
            return;
        phase_ = Phase::Showing;
        figures_.rssAskedKb = peakRssKb();
        shownAt_ = now();
        freeze_ = 0;
    }

    const Figures &figures() const { return figures_; }

    void fail(const QString &why) {
        figures_.error = why;
        finish();
    }

private:
    double now() const { return double(clock_.nsecsElapsed()) / 1e6; }

    void noteGap() {
        const double t = now();
        freeze_ = std::max(freeze_, t - lastTick_);
        lastTick_ = t;
    }

    void tick() {
        noteGap();
        QWidget *modal = QApplication::activeModalWidget();
        if (phase_ == Phase::Start && modal && qobject_cast<QDialog *>(modal) &&
            modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
            // Typed: selectFile() leaves a focused name field alone.
            modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(log_);
            phase_ = Phase::Loading;
            freeze_ = 0;
            chosenAt_ = now();
            lastTick_ = chosenAt_;
            static_cast<QDialog *>(modal)->accept();
            return;
        }
        if (phase_ == Phase::Loading && modal && modal->objectName() == QLatin1String("PelorinMain")) {
            figures_.interactiveS = (now() - chosenAt_) / 1000;
            figures_.loadFreezeMs = freeze_;
            figures_.rssLoadedKb = peakRssKb();
            phase_ = Phase::Ready;
            panel_ = modal;
            // A user takes a moment before the next click.
            QTimer::singleShot(300, this, [this] { preview(); });
        }
    }

    void preview() {
        if (!panel_) {
            fail(QStringLiteral("the panel went away"));
            return;
        }
        if (auto *offset = panel_->findChild<QLineEdit *>(QStringLiteral("timeDiff")))
            offset->setText(offset_);
        auto *button = panel_->findChild<QAbstractButton *>(QStringLiteral("previewButton"));
        if (!button) {
            fail(QStringLiteral("no Preview button on the panel"));
            return;
        }
        phase_ = Phase::Previewing;
        clickedAt_ = now();
        button->click();
    }

    void painted(double ms, double cpuMs) {
        if (phase_ != Phase::Showing || !canvas_->hasDocument())
            return;
        noteGap();
        figures_.paintMs = ms;
        figures_.paintCpuMs = cpuMs;
        figures_.trackShownS = (now() - shownAt_) / 1000;
        figures_.clickToTrackS = (now() - clickedAt_) / 1000 - kPreviewDelayS;
        figures_.showFreezeMs = freeze_;
        figures_.rssAfterKb = peakRssKb();
        finish();
    }

    void finish() {
        phase_ = Phase::Done;
        ticker_.stop();
        // Out of every modal run and nested loop, then out of the application.
        QTimer::singleShot(0, qApp, [] {
            for (QWidget *widget : QApplication::topLevelWidgets())
                widget->close();
            QCoreApplication::exit(0);
        });
    }

    QString log_;
    QString offset_;
    MapCanvas *canvas_;
    PaintProbe probe_;
    QTimer ticker_;
    QElapsedTimer clock_;
    Phase phase_ = Phase::Start;
    QPointer<QWidget> panel_;
    double lastTick_ = 0;
    double freeze_ = 0;
    double chosenAt_ = 0;
    double clickedAt_ = 0;
    double shownAt_ = 0;
    Figures figures_;
};

QString verdict(bool met) {
    return met ? QStringLiteral("met") : QStringLiteral("not met");
}

// A whole season selected: the budgets its users were promised.
void reportSeason(QTextStream &out, const ActionDriver::Figures &f, qsizetype recordings,
                  const QString &load) {
    out << QStringLiteral("\nA season: the same with all %1 recordings of the catalogue selected in the host "
                          "(`--season`). Load average at the start: %2.\n\n")
               .arg(recordings)
               .arg(load)
        << "| Measure | Value | Budget | |\n|---|---|---|---|\n"
        << QStringLiteral("| panel interactive after the log was chosen | %1 s | 1.0 s | %2 |\n")
               .arg(f.interactiveS, 0, 'f', 2)
               .arg(verdict(f.interactiveS <= 1.0))
        << QStringLiteral("| longest freeze meanwhile | %1 ms | | |\n").arg(f.loadFreezeMs, 0, 'f', 0)
        << QStringLiteral(
               "| track on screen after the click on Preview, less the fixed delay | %1 s | 1.0 s | %2 |\n")
               .arg(f.clickToTrackS, 0, 'f', 2)
               .arg(verdict(f.clickToTrackS <= 1.0))
        << QStringLiteral("| of which: after the fixed delay | %1 s (longest freeze %2 ms) | | |\n")
               .arg(f.trackShownS, 0, 'f', 2)
               .arg(f.showFreezeMs, 0, 'f', 0)
        << QStringLiteral("| of which: the document on the canvas after | %1 s | | |\n")
               .arg(f.documentS, 0, 'f', 2)
        << QStringLiteral("| of which: the painting that showed the track | %1 ms (%2 ms of CPU) | | |\n")
               .arg(f.paintMs, 0, 'f', 0)
               .arg(f.paintCpuMs, 0, 'f', 0)
        << QStringLiteral("| peak memory at the start (the catalogue in the host) | %1 MB | | |\n")
               .arg(mb(f.rssStartKb), 0, 'f', 0)
        << QStringLiteral("| peak memory with the log loaded | %1 MB | | |\n")
               .arg(mb(f.rssLoadedKb), 0, 'f', 0)
        << QStringLiteral("| peak memory when the plug-in asked for the track | %1 MB | | |\n")
               .arg(mb(f.rssAskedKb), 0, 'f', 0)
        << QStringLiteral("| peak memory after the preview | %1 MB | 300 MB | %2 |\n")
               .arg(mb(f.rssAfterKb), 0, 'f', 0)
               .arg(verdict(f.rssAfterKb <= 300 * 1024));
}

void report(const ActionDriver::Figures &f, const QString &log, qsizetype recordings, const QString &offset,
            const QString &load, bool markdown, bool season) {
    QTextStream out(stdout);
    const QString platform = QGuiApplication::platformName();
    if (markdown && season) {
        reportSeason(out, f, recordings, load);
        return;
    }
    if (!markdown) {
        out << "platform " << platform << ", load average " << load << "\n"
            << "log " << log << ", recordings " << recordings << ", offset " << offset << "\n"
            << QStringLiteral("panel interactive after choosing the log: %1 s, longest freeze %2 ms\n")
                   .arg(f.interactiveS, 0, 'f', 3)
                   .arg(f.loadFreezeMs, 0, 'f', 0)
            << QStringLiteral(
                   "track on screen after the fixed delay: %1 s, longest freeze %2 ms (the document "
                   "on the canvas after %3 s, the painting that showed it %4 ms, %5 ms of CPU); "
                   "after the click, less the fixed delay: %6 s\n")
                   .arg(f.trackShownS, 0, 'f', 3)
                   .arg(f.showFreezeMs, 0, 'f', 0)
                   .arg(f.documentS, 0, 'f', 3)
                   .arg(f.paintMs, 0, 'f', 0)
                   .arg(f.paintCpuMs, 0, 'f', 0)
                   .arg(f.clickToTrackS, 0, 'f', 3)
            << QStringLiteral("peak RSS: %1 MB at start, %2 MB with the log loaded, %3 MB when the track was "
                              "asked for, %4 MB after the preview\n")
                   .arg(mb(f.rssStartKb), 0, 'f', 0)
                   .arg(mb(f.rssLoadedKb), 0, 'f', 0)
                   .arg(mb(f.rssAskedKb), 0, 'f', 0)
                   .arg(mb(f.rssAfterKb), 0, 'f', 0);
        return;
    }
    out << "## Host: preview\n\n"
        << QStringLiteral(
               "`pelorin-bench-preview` drives the host's windows (Qt platform `%1`) with the plug-in "
               "loaded: %2 recordings of a catalogue selected in its main window, the plug-in fired, `%3` "
               "chosen in its "
               "file dialog, the offset %4 s typed, then Preview; a 5 ms timer on the GUI thread "
               "measures freezes, the canvas's paint events when the track is on screen, "
               "`/proc/self/status` VmHWM the peak memory (MB = 2^20 bytes). "
               "Load average at the start: %5.\n\n")
               .arg(platform)
               .arg(recordings)
               .arg(QFileInfo(log).fileName())
               .arg(offset)
               .arg(load)
        << "| Measure | Value | Budget | |\n|---|---|---|---|\n"
        << QStringLiteral("| panel interactive after the log was chosen | %1 s | 1.0 s | %2 |\n")
               .arg(f.interactiveS, 0, 'f', 2)
               .arg(verdict(f.interactiveS <= 1.0))
        << QStringLiteral("| longest freeze meanwhile | %1 ms | 60 ms | %2 |\n")
               .arg(f.loadFreezeMs, 0, 'f', 0)
               .arg(verdict(f.loadFreezeMs <= 60))
        << QStringLiteral("| track on screen after the preview's fixed delay | %1 s | 0.3 s | %2 |\n")
               .arg(f.trackShownS, 0, 'f', 2)
               .arg(verdict(f.trackShownS <= 0.3))
        << QStringLiteral("| longest freeze meanwhile | %1 ms | 100 ms | %2 |\n")
               .arg(f.showFreezeMs, 0, 'f', 0)
               .arg(verdict(f.showFreezeMs <= 100))
        << QStringLiteral("| track on screen after the click on Preview, less the fixed delay | %1 s | | |\n")
               .arg(f.clickToTrackS, 0, 'f', 2)
        << QStringLiteral("| of which: the document on the canvas after | %1 s | | |\n")
               .arg(f.documentS, 0, 'f', 2)
        << QStringLiteral("| of which: the painting that showed the track | %1 ms (%2 ms of CPU) | | |\n")
               .arg(f.paintMs, 0, 'f', 0)
               .arg(f.paintCpuMs, 0, 'f', 0)
        << QStringLiteral("| peak memory with the log loaded | %1 MB | | |\n")
               .arg(mb(f.rssLoadedKb), 0, 'f', 0)
        << QStringLiteral("| peak memory when the plug-in asked for the track | %1 MB | | |\n")
               .arg(mb(f.rssAskedKb), 0, 'f', 0)
        << QStringLiteral("| peak memory after the preview | %1 MB | 200 MB | %2 |\n")
               .arg(mb(f.rssAfterKb), 0, 'f', 0)
               .arg(verdict(f.rssAfterKb <= 200 * 1024));
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("markdown"), QStringLiteral("Print a section for bench/RESULTS.md.")});
    parser.addOption(
        {QStringLiteral("season"),
         QStringLiteral("A whole season's catalogue: its table for the same section, its budgets.")});
    parser.addOption({QStringLiteral("log"), QStringLiteral("The GPS log."), QStringLiteral("file"),
                      QStringLiteral("bench/data/survey-1000000.gpx")});
    parser.addOption({QStringLiteral("recordings"), QStringLiteral("The recordings catalogue."),
                      QStringLiteral("file"), QStringLiteral("bench/data/recordings-100000.csv")});
    parser.addOption({QStringLiteral("offset"), QStringLiteral("The clock offset, s."), QStringLiteral("s"),
                      QStringLiteral("37")});
    parser.addOption({QStringLiteral("timeout"), QStringLiteral("Give up after this many seconds."),
                      QStringLiteral("s"), QStringLiteral("300")});
    parser.addHelpOption();
    parser.process(app);
    const QString log = QFileInfo(parser.value(QStringLiteral("log"))).absoluteFilePath();
    const QString catalogue = parser.value(QStringLiteral("recordings"));
    const QString offset = parser.value(QStringLiteral("offset"));
    const QString load = loadAverage();
    QTextStream err(stderr);
    if (!QFileInfo(log).isFile()) {
        err << "pelorin-bench-preview: no GPS log at " << log << "\n";
        return 2;
    }

    HostApplication host;
    const PluginLoadReport plugins = loadPlugins({QStringLiteral(PELORIN_BENCH_PLUGIN_DIR)});
    if (plugins.plugins.isEmpty()) {
        err << "pelorin-bench-preview: the plug-in did not load: " << plugins.errors.join(QLatin1Char(' '))
            << "\n";
        return 2;
    }
    MainWindow &window = *host.mainWindow();
    window.setPlugins(plugins);
    QString error;
    if (!window.openCatalogue(catalogue, &error)) {
        err << "pelorin-bench-preview: " << error << "\n";
        return 2;
    }
    window.table()->selectAll();
    const qsizetype recordings = window.table()->selectedRecordings().size();
    window.show();
    DesktopSink sink;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &sink, "open");

    ActionDriver driver(log, offset, host.mapDisplay()->window()->canvas());
    ProbeHost probe(host, [&driver] { driver.showTrackCalled(); });
    setHostDelegate(&probe);
    QObject::connect(host.mapDisplay(), &CentralMapDisplay::trackShown, &driver,
                     [&driver] { driver.documentShown(); });
    QTimer::singleShot(parser.value(QStringLiteral("timeout")).toInt() * 1000, &driver,
                       [&driver] { driver.fail(QStringLiteral("timed out")); });
    QTimer::singleShot(200, &driver, [&driver, &plugins] {
        driver.start();
        plugins.plugins.front().plugin->fire(nullptr);
    });
    QApplication::exec();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    setHostDelegate(&host);
    if (!driver.figures().error.isEmpty()) {
        err << "pelorin-bench-preview: " << driver.figures().error << "\n";
        return 1;
    }
    report(driver.figures(), log, recordings, offset, load, parser.isSet(QStringLiteral("markdown")),
           parser.isSet(QStringLiteral("season")));
    return 0;
}

#include "PreviewBench.moc"
