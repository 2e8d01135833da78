#include "georef/Placement.h"

namespace pelorin {

std::string_view placementStatusName(PlacementStatus status) {
    switch (status) {
    case PlacementStatus::Exact:
        return "exact";
    case PlacementStatus::Interpolated:
        return "interpolated";
    case PlacementStatus::BeforeTrack:
        return "before-track";
    case PlacementStatus::AfterTrack:
        return "after-track";
    case PlacementStatus::InGap:
        return "in-gap";
    case PlacementStatus::NoTime:
        break;
    }
    return "no-time";
}

} // namespace pelorin
