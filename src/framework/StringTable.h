#pragma once

#include <QCoreApplication>
#include <QString>

namespace pelorin {

// The translation context of the host's default string table. The host
// installs its translator for it; a key without a translation comes back
// unchanged.
inline constexpr const char *kHostStringContext = "Pelorin";

inline QString hostLocalizedString(const char *key) {
    return QCoreApplication::translate(kHostStringContext, key);
}

} // namespace pelorin
