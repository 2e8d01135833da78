#pragma once

#include <QLocale>

class QCoreApplication;

namespace pelorin {

// Installs the host's string table for the locale, from the resources
// (:/translations), the "translations" folder beside the binary or the
// installed share/pelorin/translations, the first that has it, and Qt's
// own texts when they are found. True when the host's table was found; without
// one every key translates to itself.
bool installHostTranslator(QCoreApplication &app, const QLocale &locale = QLocale());

} // namespace pelorin
