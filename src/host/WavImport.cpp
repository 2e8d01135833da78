#include "host/WavImport.h"

#include "host/RecordingConversion.h"
#include "recordings/WavRecording.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <string>
#include <vector>

namespace pelorin {

namespace {
constexpr qsizetype kMaxListedFiles = 20;

QString tr(const char *text, int n = -1) {
    return QCoreApplication::translate("pelorin::WavImport", text, nullptr, n);
}

QStringList wavFilesBelow(const QString &folder) {
    QStringList files;
    // Hidden files count, as they do for the batch command; links to folders
    // are not followed, so a loop on the card cannot trap the search.
    QDirIterator it(folder, {QStringLiteral("*.wav")}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    std::sort(files.begin(), files.end());
    return files;
}
} // namespace

QStringList wavFilesIn(const QStringList &paths) {
    QStringList files;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isDir())
            files.append(wavFilesBelow(info.absoluteFilePath()));
        else
            files.append(info.absoluteFilePath());
    }
    files.removeDuplicates();
    return files;
}

WavImport readWavFiles(const QStringList &files, const std::function<bool(int done)> &progress,
                       unsigned threads) {
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(files.size()));
    for (const QString &path : files)
        paths.push_back(QFile::encodeName(path).toStdString());
    std::function<bool(std::size_t)> reported;
    if (progress)
        reported = [&progress](std::size_t done) { return progress(static_cast<int>(done)); };
    WavBatchResult read = readWavRecordings(paths, nullptr, reported, threads);
    WavImport result;
    result.cancelled = read.cancelled;
    for (qsizetype i = 0; i < files.size() && !read.cancelled; ++i) {
        const QString &path = files.at(i);
        const WavResult &wav = read.results[static_cast<std::size_t>(i)];
        if (wav.value) {
            HostRecording recording = toHostRecording(wav.value->recording);
            recording.setPath(path);
            result.recordings.append({std::move(recording), wav.value->recording.timeSource, path,
                                      QString::fromStdString(wav.value->position.value_or(std::string()))});
        } else
            result.skipped.append({path, QString::fromStdString(wav.error)});
    }
    return result;
}

QString skippedFilesMessage(const QList<SkippedFile> &skipped) {
    QStringList lines;
    lines.append(tr("%n file(s) could not be added:", static_cast<int>(skipped.size())));
    for (qsizetype i = 0; i < skipped.size() && i < kMaxListedFiles; ++i)
        lines.append(
            QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(skipped[i].path), skipped[i].reason));
    if (skipped.size() > kMaxListedFiles)
        lines.append(tr("… and %n more.", static_cast<int>(skipped.size() - kMaxListedFiles)));
    return lines.join(QLatin1Char('\n'));
}

} // namespace pelorin
