#pragma once

#include <QCoreApplication>
#include <QString>

namespace pelorin {

// A text from the host application's default string table: the host installs
// the translators, the key is the English text and is shown untranslated.
inline QString hostString(const char *key) {
    return QCoreApplication::translate("Pelorin", key);
}

} // namespace pelorin
