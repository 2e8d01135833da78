#include "host/TableRecording.h"

namespace pelorin {

QString timeSourceText(const TableRecording &row) {
    if (!row.timeSource)
        return QStringLiteral("catalogue");
    return QString::fromUtf8(startTimeSourceName(*row.timeSource));
}

} // namespace pelorin
