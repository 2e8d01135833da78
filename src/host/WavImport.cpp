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
#include <variant>
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
    // Rows are made on the threads that read the files, to spare the GUI thread.
    std::vector<std::variant<TableRecording, SkippedFile>> read(paths.size());
    const auto take = [&read, &files](std::size_t i, WavResult &&wav) {
        const QString &path = files.at(static_cast<qsizetype>(i));
        if (!wav.value) {
            read[i] = SkippedFile{path, QString::fromStdString(wav.error)};
            return;
        }
        HostRecording recording = toHostRecording(wav.value->recording);
        recording.setPath(path);
        read[i] = TableRecording{std::move(recording), wav.value->recording.timeSource, path,
                                 QString::fromStdString(wav.value->position.value_or(std::string()))};
    };
    std::function<bool(std::size_t)> reported;
    if (progress)
        reported = [&progress](std::size_t done) { return progress(static_cast<int>(done)); };
    WavImport result;
    if (!readWavRecordings(paths, take, nullptr, reported, threads)) {
        result.cancelled = true;
        return result;
    }
    for (auto &one : read) {
        if (auto *row = std::get_if<TableRecording>(&one))
            result.recordings.append(std::move(*row));
        else
            result.skipped.append(std::move(std::get<SkippedFile>(one)));
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
