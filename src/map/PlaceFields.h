#pragma once

#include "util/TextHash.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <unordered_set>

namespace pelorin {

// The species of a recording's text: abbreviations separated by ';' or ',',
// trimmed; "No species" (the plain document's name for none) and blanks give
// none.
QStringList speciesOf(const QString &text);

// The file name in a description's "File <name>" line, or "".
QString recordingFromDescription(const QString &description);

// A recording's name in a document and a file name in the host's table name
// the same recording when they agree, any folder aside, or when the document's
// name is the file's without its extension (the plain document drops it).
bool sameRecording(const QString &inDocument, const QString &fileName);

// Files a document's recordings are matched against as sameRecording() does,
// in constant time a name: a whole table may be selected.
class RecordingNames {
public:
    RecordingNames() = default;
    explicit RecordingNames(const QStringList &files);
    bool isEmpty() const { return names_.empty(); }
    bool contains(const QString &inDocument) const;

private:
    // The files' names, any folder aside, and the same without their extensions: a document's every pin
    // is looked up, once.
    std::unordered_set<QString, PlainTextHash, std::equal_to<>> names_;
};

} // namespace pelorin
