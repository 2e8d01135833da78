#pragma once

#include "gpx/TrackPoint.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The points the parser has read, as the texts it found, until they are built
// into TrackPoints. Copying a point's few texts is all the parser's thread has
// to do, so the building can happen on another core; either way it happens
// here, so a point is the same whichever thread builds it. A point's texts are
// replayed in the order they were read: a later `time` or `ele` replaces an
// earlier one, as it does when set directly.
class CapturedPoints {
public:
    // What the reader knew of a point when it ended.
    struct Context {
        bool hasElevationSoFar = false; // the log has had an `ele` up to this point
        std::int64_t startByte = 0;     // where its start tag begins in the document
    };

    // Opens a point whose start tag begins at startByte; one still open is let
    // go (a point nested in another replaces it, as the parser sees it).
    void open(bool waypoint, std::uint32_t segment, std::int64_t startByte);
    bool isOpen() const noexcept { return open_; }
    // Attributes of the open point's start tag, NUL-terminated as the parser gives them.
    void latitude(const char *value) { coordinate(Kind::Latitude, value); }
    void longitude(const char *value) { coordinate(Kind::Longitude, value); }
    void attribute(std::string_view key, std::string_view value);
    void time(std::string_view text);
    void elevation(std::string_view text);
    void name(std::string_view text);
    // Ends the open point; it joins those to be built.
    void commit(bool hasElevationSoFar);
    void dropOpen() noexcept;

    std::size_t size() const noexcept { return points_.size(); } // ended points
    std::size_t textBytes() const noexcept { return texts_.size(); }

    // Builds the ended points in the order they were read, then forgets them;
    // called between points (none open). build(TrackPoint &&, const Context &).
    template <class Build> void drain(Build &&build) {
        for (const Point &point : points_)
            build(make(point), point.context);
        clearEnded();
    }

private:
    enum class Kind : std::uint8_t { Latitude, Longitude, Attribute, Time, Elevation, Name };
    struct Entry {
        Kind kind;
        std::size_t key;   // where the attribute's name starts in texts_, its value follows
        std::size_t value; // where the text starts
        std::size_t size;  // of the text
    };
    struct Point {
        std::size_t firstEntry;
        std::size_t endEntry;
        std::uint32_t segment;
        bool waypoint;
        Context context;
    };

    std::size_t append(std::string_view text);
    void coordinate(Kind kind, const char *value);
    TrackPoint make(const Point &point) const;
    void clearEnded();

    std::string texts_;
    std::vector<Entry> entries_;
    std::vector<Point> points_;
    // The open point; its texts start at texts_[openTexts_].
    bool open_ = false;
    Point openPoint_{};
    std::size_t openTexts_ = 0;
};

} // namespace pelorin
