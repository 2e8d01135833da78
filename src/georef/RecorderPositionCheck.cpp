#include "georef/RecorderPositionCheck.h"

#include "georef/Uncertainty.h"
#include "text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace pelorin {

namespace {

// A check across the whole night, not a claim to the metre.
constexpr double kFarMetres = 200;
constexpr std::int32_t kHalfHour = 1800;
constexpr int kHalfHoursEitherSide = 24;

std::string distanceText(double metres) {
    std::string text;
    if (metres < 1000) {
        appendDecimal(text, std::round(metres), 0);
        return text + " m";
    }
    appendDecimal(text, metres / 1000, 1);
    return text + " km";
}

} // namespace

std::optional<double> medianRecorderDistance(std::span<const Recording> recordings,
                                             std::span<const Placement> placements) {
    std::vector<double> distances;
    for (std::size_t i = 0; i < recordings.size() && i < placements.size(); ++i) {
        const std::optional<LatLon> &own = recordings[i].recorderPosition;
        if (own && placements[i].placed())
            distances.push_back(distanceMetres(placements[i].lat, placements[i].lon, own->lat, own->lon));
    }
    if (distances.empty())
        return std::nullopt;
    const auto middle = distances.begin() + static_cast<std::ptrdiff_t>(distances.size() / 2);
    std::nth_element(distances.begin(), middle, distances.end());
    if (distances.size() % 2 != 0)
        return *middle;
    return (*middle + *std::max_element(distances.begin(), middle)) / 2;
}

std::string recorderDistanceText(std::span<const Recording> recordings,
                                 std::span<const Placement> placements) {
    const std::optional<double> median = medianRecorderDistance(recordings, placements);
    if (!median)
        return {};
    std::string text =
        "the recorders' own positions lie a median " + distanceText(*median) + " from the track's";
    if (*median > kFarMetres)
        text += ": a wrong offset, or a stationary recorder's configured position?";
    return text;
}

std::optional<PositionOffset> offsetNearestRecorderPositions(std::span<const Recording> recordings,
                                                             TrackView track, std::int32_t givenOffsetSeconds,
                                                             const PlacementOptions &options) {
    if (std::none_of(recordings.begin(), recordings.end(),
                     [](const Recording &r) { return r.recorderPosition.has_value(); }))
        return std::nullopt;
    std::optional<PositionOffset> best;
    for (int step = -kHalfHoursEitherSide; step <= kHalfHoursEitherSide; ++step) {
        const std::int64_t offset = std::int64_t{givenOffsetSeconds} + std::int64_t{step} * kHalfHour;
        if (offset < std::numeric_limits<std::int32_t>::min() ||
            offset > std::numeric_limits<std::int32_t>::max())
            continue;
        const GeoRefResult result =
            placeRecordings(recordings, track, static_cast<std::int32_t>(offset), options);
        const std::optional<double> median = medianRecorderDistance(recordings, result.placements);
        if (!median)
            continue;
        std::size_t compared = 0;
        for (std::size_t i = 0; i < recordings.size(); ++i)
            compared += recordings[i].recorderPosition && result.placements[i].placed();
        // More recordings compared outweighs a closer median of fewer.
        if (!best || compared > best->compared ||
            (compared == best->compared && *median < best->medianMetres))
            best = PositionOffset{static_cast<std::int32_t>(offset), *median, compared};
    }
    return best;
}

std::string positionOffsetText(const PositionOffset &best) {
    return "the recorders' own positions agree best with --offset " + std::to_string(best.offsetSeconds) +
           " (a median " + distanceText(best.medianMetres) + " from the track's)";
}

} // namespace pelorin
