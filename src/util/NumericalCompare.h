#pragma once

#include <QString>

namespace pelorin {

// Natural order: runs of decimal digits compare by value, the text between
// them by plain (case-sensitive, canonically equivalent) comparison, so
// "file2" sorts before "file10". Returns -1, 0 or 1.
int numericalCompare(const QString &receiver, const QString &argument);

} // namespace pelorin
