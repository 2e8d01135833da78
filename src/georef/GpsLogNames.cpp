#include "georef/GpsLogNames.h"

namespace pelorin {

void nameGpsLogs(std::span<Placement> placements, std::span<const std::string> names,
                 const MergedLogs &merged) {
    for (Placement &placement : placements) {
        if (!placement.placed() || names.empty())
            continue;
        if (names.size() == 1) {
            placement.gpsLog = names.front();
        } else if (const auto &fix = placement.before ? placement.before : placement.after) {
            if (const auto log = merged.logAt(fix->time))
                placement.gpsLog = names[*log];
        }
    }
}

} // namespace pelorin
