#include "plugin/GpxErrorText.h"

namespace pelorin {

QString gpxErrorInformativeText(const GpxError &error) {
    return QStringLiteral("Error %1, Description: %2, Line: %3, Column: %4")
        .arg(error.code)
        .arg(QString::fromStdString(error.description))
        .arg(error.line)
        .arg(error.column);
}

} // namespace pelorin
