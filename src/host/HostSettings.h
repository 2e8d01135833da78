#pragma once

#include <QString>

namespace pelorin {

// The catalogue to reopen at start-up ("" when none was opened yet).
QString lastCatalogue();
void storeLastCatalogue(const QString &path);

} // namespace pelorin
