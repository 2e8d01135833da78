// The host's map window with a large survey: time per wheel step, frames while
// dragging, "Fit to data", and the longest time the GUI thread was blocked.
// Drives the real window; run under Xvfb (QT_QPA_PLATFORM=xcb) or offscreen.
//
//   pelorin-bench-map [--points N | --kml FILE] [--wheel N] [--drag N] [--markdown]
//                     [--save FILE] [--baseline FILE] [--grab PNG]
//
// Without --kml the survey is generated (the plain document's shapes and
// style); with it, the file is read as the host reads it.
// --save writes the figures as "key value" lines; --baseline reads such a file
// (an earlier run) and shows it beside this run's figures; --grab saves the
// fitted map as drawn at the end.
#include "BenchData.h"
#include "map/MapCanvas.h"
#include "map/MapFileReader.h"
#include "map/MapWindow.h"
#include "map/PlaceFields.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using pelorin::GeoPoint;
using pelorin::KmlDocument;

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

long peakRssMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6)) / 1024;
    return -1;
}

double toDouble(std::string_view text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// The generated survey as the map reads it from the command's plain document:
// one track through every fix, one pin per placed recording.
KmlDocument surveyDocument(std::size_t points) {
    pelorin::bench::SurveyParams params;
    params.points = points;
    params.recordings = points / 10;
    KmlDocument document;
    document.name = QStringLiteral("Generated transect");
    pelorin::KmlTrack track;
    // The plain document's line style.
    track.color = pelorin::parseKmlColor(u"#990000ff").value_or(Qt::red);
    track.width = 6;
    track.points.resize(points);
    pelorin::bench::TrackWalk walk(params);
    for (GeoPoint &point : track.points) {
        const pelorin::bench::Fix fix = walk.next();
        point = {toDouble(fix.lat), toDouble(fix.lon)};
    }
    document.tracks.push_back(std::move(track));
    for (const pelorin::GeoRefRecord &record : pelorin::bench::placedRecords(params)) {
        pelorin::KmlPlace place;
        place.name = QString::fromStdString(record.name);
        place.description = QString::fromStdString(record.desc);
        place.position = {record.lat, record.lon};
        place.species = pelorin::speciesOf(place.name);
        place.recording = pelorin::recordingFromDescription(place.description);
        document.places.push_back(std::move(place));
    }
    return document;
}

struct Sample {
    double wallMs = 0;
    double guiCpuMs = 0;
    double processCpuMs = 0;
    double firstFrameMs = 0; // to the first frame painted, perhaps the last drawing moved and scaled
};

struct Series {
    std::vector<Sample> samples;
    double median(double Sample::*field) const {
        std::vector<double> v;
        for (const Sample &s : samples)
            v.push_back(s.*field);
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }
    double worst(double Sample::*field) const {
        double w = 0;
        for (const Sample &s : samples)
            w = std::max(w, s.*field);
        return w;
    }
};

// Counts the canvas's paint events, and the longest gap between the beats of a
// 5 ms timer (the GUI thread blocked).
class Watch : public QObject {
public:
    explicit Watch(pelorin::MapCanvas *canvas)
        : canvas_(canvas) {
        canvas->installEventFilter(this);
        beat_.setInterval(5);
        QObject::connect(&beat_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            if (last_ >= 0)
                longestGapMs_ = std::max(longestGapMs_, double(now - last_) / 1e6);
            last_ = now;
        });
    }
    void startBeats() {
        clock_.start();
        last_ = -1;
        longestGapMs_ = 0;
        beat_.start();
    }
    double stopBeats() {
        beat_.stop();
        return longestGapMs_;
    }
    // Processes events until the canvas has painted the current view in full;
    // returns when its first frame for it (perhaps a stand-in) was painted.
    std::chrono::steady_clock::time_point waitForFrame() {
        paints_ = 0;
        while (paints_ == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        const auto first = std::chrono::steady_clock::now();
        while (canvas_->isRendering())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        return first;
    }
    template <typename Step> Sample time(Step step) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu = threadCpuMs();
        const double process = processCpuMs();
        step();
        const auto first = waitForFrame();
        const auto ms = [start](auto end) {
            return std::chrono::duration<double, std::milli>(end - start).count();
        };
        return {ms(std::chrono::steady_clock::now()), threadCpuMs() - cpu, processCpuMs() - process,
                ms(first)};
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++paints_;
        return false;
    }

private:
    pelorin::MapCanvas *canvas_;
    int paints_ = 0;
    QTimer beat_;
    QElapsedTimer clock_;
    qint64 last_ = -1;
    double longestGapMs_ = 0;
};

void wheel(QWidget *target, QPointF at, int delta) {
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

void mouse(QWidget *target, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// "key value" lines; lines starting with '#' say how the figures were taken.
std::map<std::string, double> readFigures(const std::string &path) {
    std::map<std::string, double> figures;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        const auto space = line.find(' ');
        if (space != std::string::npos)
            figures[line.substr(0, space)] = toDouble(std::string_view(line).substr(space + 1));
    }
    return figures;
}

} // namespace

int main(int argc, char **argv) {
    std::size_t points = 1'000'000;
    int wheelSteps = 20;
    int dragSteps = 60;
    bool markdown = false;
    std::string savePath, baselinePath, kmlPath, grabPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (arg == "--points")
            points = std::stoul(next());
        else if (arg == "--wheel")
            wheelSteps = std::stoi(next());
        else if (arg == "--drag")
            dragSteps = std::stoi(next());
        else if (arg == "--grab")
            grabPath = next();
        else if (arg == "--kml")
            kmlPath = next();
        else if (arg == "--markdown")
            markdown = true;
        else if (arg == "--save")
            savePath = next();
        else if (arg == "--baseline")
            baselinePath = next();
        else {
            std::fprintf(
                stderr,
                "usage: %s [--points N | --kml FILE] [--wheel N] [--drag N] [--markdown] [--save FILE] "
                "[--baseline FILE] [--grab PNG]\n",
                argv[0]);
            return 2;
        }
    }

    QApplication app(argc, argv);
    KmlDocument document;
    if (kmlPath.empty()) {
        document = surveyDocument(points);
    } else {
        pelorin::KmlReadResult read = pelorin::readMapFile(QString::fromStdString(kmlPath));
        if (!read.error.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", kmlPath.c_str(), qPrintable(read.error));
            return 1;
        }
        document = std::move(read.document);
        points = 0;
        for (const pelorin::KmlTrack &track : document.tracks)
            points += track.points.size();
    }
    const std::size_t pins = document.places.size();

    pelorin::MapWindow window;
    window.showDocument(QStringLiteral("survey.kml"), std::move(document));
    window.show();
    pelorin::MapCanvas *canvas = window.canvas();
    Watch watch(canvas);
    const auto shownAt = std::chrono::steady_clock::now();
    watch.waitForFrame();
    const double firstFrameMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - shownAt).count();
    // Let the window settle (size, legend) before timing.
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    canvas->update();
    watch.waitForFrame();

    const QPointF middle(canvas->width() / 2.0, canvas->height() / 2.0);
    const QPointF pointer = middle + QPointF(canvas->width() / 8.0, -canvas->height() / 10.0);

    // Out from the fitted view and back: the whole track stays in view.
    Series wheelSeries;
    watch.startBeats();
    const int half = std::max(1, wheelSteps / 2);
    for (int i = 0; i < half; ++i)
        wheelSeries.samples.push_back(watch.time([&] { wheel(canvas, pointer, -120); }));
    for (int i = 0; i < half; ++i)
        wheelSeries.samples.push_back(watch.time([&] { wheel(canvas, pointer, 120); }));
    const double wheelBlockedMs = watch.stopBeats();

    // A drag back and forth across the fitted view, a few pixels a move.
    Series dragSeries;
    watch.startBeats();
    QPointF at = middle;
    mouse(canvas, QEvent::MouseButtonPress, at, Qt::LeftButton);
    const auto dragStart = std::chrono::steady_clock::now();
    for (int i = 0; i < dragSteps; ++i) {
        at += QPointF(i < dragSteps / 2 ? 6 : -6, i < dragSteps / 2 ? 3 : -3);
        dragSeries.samples.push_back(
            watch.time([&] { mouse(canvas, QEvent::MouseMove, at, Qt::LeftButton); }));
    }
    const double dragSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - dragStart).count();
    mouse(canvas, QEvent::MouseButtonRelease, at, Qt::NoButton);
    const double dragBlockedMs = watch.stopBeats();
    const double dragFps = dragSteps / dragSeconds;

    // Fit to data from a close-up, as the toolbar's button does it.
    QAction *fit = nullptr;
    for (QAction *action : window.findChild<QToolBar *>()->actions())
        if (action->text() == QStringLiteral("Fit to data"))
            fit = action;
    Series fitSeries;
    watch.startBeats();
    for (int i = 0; i < 5; ++i) {
        for (int k = 0; k < 4; ++k)
            wheel(canvas, pointer, 120);
        watch.waitForFrame();
        fitSeries.samples.push_back(watch.time([&] { fit->trigger(); }));
    }
    const double fitBlockedMs = watch.stopBeats();
    if (!grabPath.empty())
        canvas->grab().save(QString::fromStdString(grabPath));
    const long peakMb = peakRssMb();

    std::map<std::string, double> figures = {
        {"wheel_median_ms", wheelSeries.median(&Sample::wallMs)},
        {"wheel_worst_ms", wheelSeries.worst(&Sample::wallMs)},
        {"wheel_gui_cpu_ms", wheelSeries.median(&Sample::guiCpuMs)},
        {"wheel_gui_cpu_worst_ms", wheelSeries.worst(&Sample::guiCpuMs)},
        {"wheel_process_cpu_ms", wheelSeries.median(&Sample::processCpuMs)},
        {"wheel_blocked_ms", wheelBlockedMs},
        {"wheel_first_median_ms", wheelSeries.median(&Sample::firstFrameMs)},
        {"wheel_first_worst_ms", wheelSeries.worst(&Sample::firstFrameMs)},
        {"drag_fps", dragFps},
        {"drag_median_ms", dragSeries.median(&Sample::wallMs)},
        {"drag_worst_ms", dragSeries.worst(&Sample::wallMs)},
        {"drag_gui_cpu_ms", dragSeries.median(&Sample::guiCpuMs)},
        {"drag_gui_cpu_worst_ms", dragSeries.worst(&Sample::guiCpuMs)},
        {"drag_first_median_ms", dragSeries.median(&Sample::firstFrameMs)},
        {"drag_first_worst_ms", dragSeries.worst(&Sample::firstFrameMs)},
        {"drag_process_cpu_ms", dragSeries.median(&Sample::processCpuMs)},
        {"drag_blocked_ms", dragBlockedMs},
        {"fit_median_ms", fitSeries.median(&Sample::wallMs)},
        {"fit_worst_ms", fitSeries.worst(&Sample::wallMs)},
        {"fit_gui_cpu_ms", fitSeries.median(&Sample::guiCpuMs)},
        {"fit_gui_cpu_worst_ms", fitSeries.worst(&Sample::guiCpuMs)},
        {"fit_process_cpu_ms", fitSeries.median(&Sample::processCpuMs)},
        {"fit_blocked_ms", fitBlockedMs},
        {"fit_first_median_ms", fitSeries.median(&Sample::firstFrameMs)},
        {"fit_first_worst_ms", fitSeries.worst(&Sample::firstFrameMs)},
        {"blocked_ms", std::max({wheelBlockedMs, dragBlockedMs, fitBlockedMs})},
        {"first_frame_ms", firstFrameMs},
        {"peak_rss_mb", double(peakMb)},
    };
    if (!savePath.empty()) {
        std::ofstream out(savePath);
        for (const auto &[key, value] : figures)
            out << key << ' ' << value << '\n';
    }
    const std::map<std::string, double> before =
        baselinePath.empty() ? std::map<std::string, double>() : readFigures(baselinePath);
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) < 0)
        load[0] = -1;

    auto was = [&](const char *key) -> std::string {
        auto found = before.find(key);
        // A run drawing on the GUI thread has no stand-in: its first frame is the full one. Older
        // runs kept the median of some figures only.
        for (const char *part : {"_first", "_worst"}) {
            std::string plain = key;
            if (found == before.end() && plain.find(part) != std::string::npos)
                found = before.find(plain.erase(plain.find(part), std::strlen(part)));
        }
        if (found == before.end())
            return "";
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", found->second);
        return text;
    };
    if (markdown) {
        std::printf("## Host: map window\n\n");
        std::printf(
            "The host's map window (%dx%d canvas, no basemap) showing a generated survey of %zu track "
            "points and %zu pins with the whole track in view, driven through its own events: %d wheel "
            "steps (%d out from the fitted view, %d back), a drag of %d mouse moves, \"Fit to data\" "
            "from a close-up 5 times. A step's first frame may show the last drawing moved and scaled while "
            "the tracks are drawn away from the GUI thread; the drawing is complete when they are. GUI CPU "
            "is the GUI "
            "thread's CPU time per step, process CPU all threads'; blocked is the longest gap of a 5 ms "
            "timer. Load average %.2f during the run.\n\n",
            canvas->width(), canvas->height(), points, pins, 2 * half, half, half, dragSteps, load[0]);
        const bool withBefore = !before.empty();
        std::printf("| Measure | Median | Worst | Budget | %sMet |\n",
                    withBefore ? "Before (median / worst) | " : "");
        std::printf("|---|---|---|---|%s---|\n", withBefore ? "---|" : "");
        const struct {
            const char *measure;
            const char *median;
            const char *worst;
            const char *budget; // "" for a figure that has none
            bool higherIsBetter;
        } rows[] = {
            {"Wheel step, first frame painted (the last drawing scaled), ms", "wheel_first_median_ms",
             "wheel_first_worst_ms", "33.3", false},
            {"Wheel step, the drawing complete, ms", "wheel_median_ms", "wheel_worst_ms", "33.3", false},
            {"Wheel step, GUI thread CPU, ms", "wheel_gui_cpu_ms", "wheel_gui_cpu_worst_ms", "", false},
            {"Drag, frames painted a second", "drag_fps", "drag_fps", "30", true},
            {"Drag move, first frame painted, ms", "drag_first_median_ms", "drag_first_worst_ms", "33.3",
             false},
            {"Drag move, the drawing complete, ms", "drag_median_ms", "drag_worst_ms", "33.3", false},
            {"Drag move, GUI thread CPU, ms", "drag_gui_cpu_ms", "drag_gui_cpu_worst_ms", "", false},
            {"Fit to data, first frame painted, ms", "fit_first_median_ms", "fit_first_worst_ms", "33.3",
             false},
            {"Fit to data, the drawing complete, ms", "fit_median_ms", "fit_worst_ms", "33.3", false},
            {"Fit to data, GUI thread CPU, ms", "fit_gui_cpu_ms", "fit_gui_cpu_worst_ms", "", false},
            {"GUI thread blocked, longest, ms", "blocked_ms", "blocked_ms", "33.3", false},
        };
        for (const auto &row : rows) {
            const double median = figures.at(row.median);
            const double worst = figures.at(row.worst);
            const double budget = *row.budget ? toDouble(row.budget) : 0;
            const char *met = !*row.budget         ? "—"
                              : row.higherIsBetter ? (worst >= budget ? "met" : "not met")
                                                   : (worst <= budget ? "met" : "not met");
            const std::string beforeCell = withBefore ? was(row.median) + " / " + was(row.worst) + " | " : "";
            std::printf("| %s | %.1f | %.1f | %s%s | %s%s |\n", row.measure, median, worst,
                        row.higherIsBetter && *row.budget ? "≥ " : "", *row.budget ? row.budget : "—",
                        beforeCell.c_str(), met);
        }
        std::printf("\nPeak resident memory %ld MB (the whole process with the generated document).\n",
                    peakMb);
    } else {
        std::printf("points %zu, pins %zu, canvas %dx%d, load %.2f %.2f %.2f\n", points, pins,
                    canvas->width(), canvas->height(), load[0], load[1], load[2]);
        for (const auto &[key, value] : figures) {
            const std::string old = was(key.c_str());
            std::printf("%-22s %10.1f%s%s\n", key.c_str(), value, old.empty() ? "" : "   before ",
                        old.c_str());
        }
    }
    return 0;
}
