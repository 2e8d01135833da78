#pragma once

namespace pelorin {

// How far, in metres, a placed recording may lie from the position given:
//
//   radius = accuracy + secondsToNearestFix × (fixDistance / gap + kUnseenWalkMetresPerSecond)
//
// The first term is the logger's own error, all that is left for a recording
// made at a fix. Between two fixes the walker moved fixDistance in gap seconds;
// interpolation assumes a straight line at that pace, so the position drifts
// from the truth by up to that pace times the time to the nearer fix, plus what
// a slow walk could add unseen by the fixes (a detour, a stop and a turn back).
// Grows with the time to the nearest fix and with the distance between the
// fixes; a gap of zero seconds counts as a fix.
double uncertaintyRadius(double secondsToNearestFix, double gapSeconds, double fixDistanceMetres,
                         double accuracyMetres);

// A transect survey's slow walk, in metres per second.
inline constexpr double kUnseenWalkMetresPerSecond = 0.5;

// Great-circle distance in metres between two WGS84 positions in degrees
// (haversine on the mean Earth radius; well within a metre at a walk's scale).
double distanceMetres(double lat1, double lon1, double lat2, double lon2);

} // namespace pelorin
