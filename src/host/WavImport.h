#pragma once

#include "host/TableRecording.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace pelorin {

struct SkippedFile {
    QString path;
    QString reason;
};

struct WavImport {
    QList<TableRecording> recordings; // in the order the files were given
    QList<SkippedFile> skipped;       // files without a start time, or broken
    bool cancelled = false;           // progress stopped the reading; nothing is kept
};

// The files paths name, as absolute paths: a file as it is, a folder as
// every *.wav (any case) below it, in path order. Repeats are dropped.
QStringList wavFilesIn(const QStringList &paths);

// Reads the files' metadata (never the audio), several files at once
// (threads; 0: one per core). progress hears how many files are done every
// few milliseconds and stops the reading by returning false.
WavImport readWavFiles(const QStringList &files, const std::function<bool(int done)> &progress = {},
                       unsigned threads = 0);

// What the user is told about the files that were not added: one
// "path: reason" line each, the first few when there are many.
QString skippedFilesMessage(const QList<SkippedFile> &skipped);

} // namespace pelorin
