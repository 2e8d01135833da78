// pelorin-bench-wav-listing: a card of WAV files added to the host's table as
// a user would (the main window shown, the folder given to the same call the
// menu command makes), timed until the rows are in the table and painted, with
// the longest freeze of the GUI thread meanwhile (the gaps of a 5 ms timer).
// Also times the listing and the metadata reads alone. The cache is warmed by
// one untimed pass first. Wall times on a shared machine are noisy: CPU time
// (user + system, all threads) and the load average are reported beside them.
//   pelorin-bench-wav-listing [--markdown] [--files N] [--runs N] [--folder DIR]

#include "WavCard.h"
#include "host/HostApplication.h"
#include "host/MainWindow.h"
#include "host/RecordingsTableModel.h"
#include "host/RecordingsTableView.h"
#include "host/WavImport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

using namespace pelorin;
using Clock = std::chrono::steady_clock;

namespace {

const char *const kSpecies[] = {"Ppip", "Ppyg", "Nnoc", "Myodau", "Eser", "Pnat", "Ppip, Nnoc", "Bbar"};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

double secondsBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// Most files as recorders write them when they close a recording: the GUANO
// chunk after the audio. Some carry it before the audio, some the recorder's
// own chunks too. Numbered without padding, as some recorders name them.
bool makeCard(const std::filesystem::path &card, int files) {
    std::filesystem::remove_all(card);
    std::filesystem::create_directories(card);
    const std::int64_t t0 = 1749765600; // 2025-06-12T22:00:00Z
    for (int i = 0; i < files; ++i) {
        bench::WavCardFile file;
        file.start = t0 + 3 * i;
        file.guanoAfterAudio = i % 10 != 0;
        file.recorderChunks = i % 5 == 1;
        file.extraGuano = std::string("Species Auto ID: ") + kSpecies[i % std::size(kSpecies)] +
                          "\nLoc Position: " + std::to_string(51.0 + i * 1e-5) + " " +
                          std::to_string(-1.0 + i * 2e-5) + "\n";
        const auto path = card / ("REC_" + std::to_string(i) + ".wav");
        if (!bench::writeWavCardFile(path.string(), file)) {
            std::fprintf(stderr, "pelorin-bench-wav-listing: cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

// The read system calls (read, pread) the process has made.
long long readCalls() {
    std::ifstream in("/proc/self/io");
    std::string key;
    long long value = 0;
    while (in >> key >> value) {
        if (key == "syscr:")
            return value;
    }
    return 0;
}

struct Timed {
    double wall = 0;
    double cpu = 0;
    long long readCalls = 0;
};

template <typename F> Timed timed(F &&work) {
    const double cpu = cpuSeconds();
    const long long calls = readCalls();
    const auto start = Clock::now();
    work();
    return {secondsBetween(start, Clock::now()), cpuSeconds() - cpu, readCalls() - calls};
}

struct HostRun {
    Timed listed;       // from the call until the rows are painted
    double freeze = 0;  // the longest gap between timer ticks meanwhile
    double inTable = 0; // until addRecordings returned
    int rows = 0;
};

// Waits until the widget paints again, or a few seconds pass.
void waitForPaint(QWidget *widget) {
    struct Watch : QObject {
        bool painted = false;
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Paint)
                painted = true;
            return false;
        }
    } watch;
    widget->installEventFilter(&watch);
    widget->update();
    QElapsedTimer waited;
    waited.start();
    while (!watch.painted && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    widget->removeEventFilter(&watch);
}

void settle(int ms) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// sortColumn: the column the user sorted the table by before adding the card.
HostRun runHost(const QString &card, int sortColumn) {
    HostApplication host;
    MainWindow &window = *host.mainWindow();
    window.table()->sortByColumn(sortColumn, Qt::AscendingOrder);
    window.show();
    settle(300);

    std::vector<Clock::time_point> ticks;
    ticks.reserve(100000);
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ticks.push_back(Clock::now()); });
    ticker.start(5);
    settle(50);

    HostRun run;
    Clock::time_point start, returned, shown;
    const double cpu = cpuSeconds();
    start = Clock::now();
    ticks.push_back(start);
    QString skipped;
    run.rows = window.addRecordings({card}, &skipped);
    returned = Clock::now();
    waitForPaint(window.table()->viewport());
    shown = Clock::now();
    run.listed = {secondsBetween(start, shown), cpuSeconds() - cpu};
    run.inTable = secondsBetween(start, returned);
    ticks.push_back(shown);
    ticker.stop();
    std::sort(ticks.begin(), ticks.end());
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        if (ticks[i] > start && ticks[i - 1] >= start && ticks[i] <= shown)
            run.freeze = std::max(run.freeze, secondsBetween(ticks[i - 1], ticks[i]));
    }
    if (!skipped.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(skipped));
    return run;
}

template <typename T, typename Key> T median(std::vector<T> runs, Key key) {
    std::sort(runs.begin(), runs.end(), [&](const T &a, const T &b) { return key(a) < key(b); });
    return runs[runs.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    bool markdown = false;
    int files = 10000;
    int runs = 3;
    std::filesystem::path card =
        std::filesystem::temp_directory_path() / ("pelorin-wav-card-" + std::to_string(::getpid()));
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--markdown")
            markdown = true;
        else if (arg == "--files" && i + 1 < argc)
            files = std::atoi(argv[++i]);
        else if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--folder" && i + 1 < argc)
            card = argv[++i];
        else {
            std::fprintf(
                stderr,
                "usage: pelorin-bench-wav-listing [--markdown] [--files N] [--runs N] [--folder DIR]\n");
            return 2;
        }
    }
    // The host's settings go to a folder of their own, not the user's.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());

    if (!makeCard(card, files))
        return 1;
    const QString folder = QString::fromStdString(card.string());

    // Warm the cache: the directory entries and the blocks the reads touch.
    const QStringList listed = wavFilesIn({folder});
    readWavFiles(listed);

    std::vector<Timed> listings, serial, parallel;
    std::vector<HostRun> hosts, byName;
    for (int r = 0; r < runs; ++r) {
        listings.push_back(timed([&] { wavFilesIn({folder}); }));
        serial.push_back(timed([&] { readWavFiles(listed, {}, 1); }));
        parallel.push_back(timed([&] { readWavFiles(listed); }));
        hosts.push_back(runHost(folder, RecordingsTableModel::StartColumn));
        byName.push_back(runHost(folder, RecordingsTableModel::FileNameColumn));
        for (const HostRun &run : {hosts.back(), byName.back()}) {
            if (run.rows != files) {
                std::fprintf(stderr, "pelorin-bench-wav-listing: %d rows added, %d expected\n", run.rows,
                             files);
                std::filesystem::remove_all(card);
                return 1;
            }
        }
    }
    std::filesystem::remove_all(card);

    const auto wall = [](const Timed &t) { return t.wall; };
    const Timed listing = median(listings, wall);
    const Timed one = median(serial, wall);
    const Timed many = median(parallel, wall);
    const HostRun host = median(hosts, [](const HostRun &h) { return h.listed.wall; });
    const double freeze = median(hosts, [](const HostRun &h) { return h.freeze; }).freeze;
    const HostRun named = median(byName, [](const HostRun &h) { return h.listed.wall; });
    const double namedFreeze = median(byName, [](const HostRun &h) { return h.freeze; }).freeze;
    const std::string load = loadAverage();
    const unsigned cores = std::thread::hardware_concurrency();

    if (!markdown) {
        for (std::size_t r = 0; r < hosts.size(); ++r)
            std::printf(
                "run %zu: listing %.3f s, reads %.3f s (cpu %.3f, %.1f reads a file) one thread, %.3f s (cpu "
                "%.3f) in "
                "parallel; host %.3f s (in table %.3f, cpu %.3f), freeze %.0f ms; sorted by name %.3f s (cpu "
                "%.3f), freeze %.0f ms\n",
                r + 1, listings[r].wall, serial[r].wall, serial[r].cpu,
                static_cast<double>(serial[r].readCalls) / files, parallel[r].wall, parallel[r].cpu,
                hosts[r].listed.wall, hosts[r].inTable, hosts[r].listed.cpu, hosts[r].freeze * 1e3,
                byName[r].listed.wall, byName[r].listed.cpu, byName[r].freeze * 1e3);
        std::printf("load average after the runs: %s (%u cores)\n", load.c_str(), cores);
        return 0;
    }
    const auto met = [](bool ok) { return ok ? "met" : "not met"; };
    std::printf("## Host: listing a card of WAV files\n\n"
                "A card of %d WAV files of 1 MiB (audio sparse; GUANO after the audio in 9 of 10, the "
                "recorder's LIST and JUNK chunks in 1 of 5) added to the host's table through the folder "
                "command's path, with a warm cache; median of %d runs, %u cores, load average %s after the "
                "runs. CPU time is user + system over all threads.\n\n",
                files, runs, cores, load.c_str());
    std::printf("| Measure | Value | Budget | |\n|---|---:|---:|---|\n");
    std::printf("| Listed in the table and painted | %.2f s (CPU %.2f s) | 2 s | %s |\n", host.listed.wall,
                host.listed.cpu, met(host.listed.wall < 2.0));
    std::printf("| Longest GUI freeze meanwhile | %.0f ms | | |\n", freeze * 1e3);
    std::printf("| The same with the table sorted by file name (natural order) | %.2f s (CPU %.2f s), freeze "
                "%.0f ms | 2 s | %s |\n",
                named.listed.wall, named.listed.cpu, namedFreeze * 1e3, met(named.listed.wall < 2.0));
    std::printf("| Listing the folder alone | %.3f s (CPU %.3f s) | | |\n", listing.wall, listing.cpu);
    std::printf("| Reading the metadata alone, one thread | %.3f s (CPU %.3f s), %.1f reads per file | | |\n",
                one.wall, one.cpu, static_cast<double>(one.readCalls) / files);
    std::printf("| Reading the metadata alone, %u threads | %.3f s (CPU %.3f s) | | |\n", cores, many.wall,
                many.cpu);
    return 0;
}
