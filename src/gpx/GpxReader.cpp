#include "gpx/GpxReader.h"

#include "gpx/BuildingThread.h"
#include "gpx/GpxParser.h"
#include "gpx/StartTagLocator.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

namespace pelorin {

namespace {

// A point element with `ele` and `time` children takes about this many bytes;
// reserving from it spares the list's regrowth. Pages of a reserve that stays
// unused are never touched, so a generous guess costs no memory.
constexpr std::uint64_t kBytesPerPointGuess = 100;
constexpr std::uint64_t kMaxReserve = std::uint64_t{1} << 26;
// Points handed to the builder at a time: few enough to stay in the caches,
// enough to lock rarely. A run of unusually long texts goes early.
constexpr std::size_t kBatchPoints = 2048;
constexpr std::size_t kBatchBytes = 256 * 1024;

} // namespace

GpxReader::GpxReader() = default;
GpxReader::~GpxReader() = default;

void GpxReader::parserDidStartDocument() {
    gpsPoints = {};
    pointData = std::make_unique<CapturedPoints>();
    currentStringValue.clear();
    isDateTime = false;
    isElevation = false;
    isName = false;
    hasElevation = false;
    error_.reset();
    segmentsSeen_ = 0;
    segment_.reset();
    trackSegment_.reset();
    badCoordinates_.clear();
    badStarts_.clear();
}

void GpxReader::didStartElement(Element element, const char **attributes) {
    switch (element) {
    case Element::TrackPoint:
    case Element::Waypoint: {
        const bool waypoint = element == Element::Waypoint;
        pointData->open(waypoint, waypoint ? 0 : pointSegment(), pointStart_);
        for (const char **a = attributes; a && a[0]; a += 2) {
            if (nameIs(a[0], "lat"))
                pointData->latitude(a[1]);
            else if (nameIs(a[0], "lon"))
                pointData->longitude(a[1]);
            else
                pointData->attribute(a[0], a[1]);
        }
        break;
    }
    case Element::Segment:
        segment_ = segmentsSeen_++;
        break;
    case Element::Track:
        trackSegment_.reset();
        break;
    case Element::Time:
        isDateTime = true;
        break;
    case Element::Elevation:
        isElevation = true;
        break;
    case Element::Name:
        isName = true;
        break;
    case Element::Other:
        break;
    }
}

// Points outside any trkseg (of a trk, or stray) share one segment per track.
std::uint32_t GpxReader::pointSegment() {
    if (segment_)
        return *segment_;
    if (!trackSegment_)
        trackSegment_ = segmentsSeen_++;
    return *trackSegment_;
}

void GpxReader::didEndElement(Element element) {
    if (element == Element::TrackPoint || element == Element::Waypoint) {
        if (!pointData->isOpen())
            return; // its point was let go when a nested point began
        pointData->commit(hasElevation);
        pointEnded();
        return;
    }
    if (element == Element::Segment)
        segment_.reset();
    else if (element == Element::Track)
        trackSegment_.reset();
    if (isDateTime) {
        if (pointData->isOpen())
            pointData->time(currentStringValue);
        isDateTime = false;
    }
    if (isElevation) {
        if (pointData->isOpen())
            pointData->elevation(currentStringValue);
        isElevation = false;
        hasElevation = true;
    }
    if (isName) {
        if (pointData->isOpen())
            pointData->name(currentStringValue);
        isName = false;
    }
    currentStringValue.clear();
}

void GpxReader::pointEnded() {
    if (!builder_) {
        build(*pointData);
        return;
    }
    if (pointData->size() >= kBatchPoints || pointData->textBytes() >= kBatchBytes)
        pointData = builder_->exchange(std::move(pointData));
}

void GpxReader::build(CapturedPoints &captured) {
    captured.drain([this](TrackPoint &&point, const CapturedPoints::Context &context) {
        std::vector<TrackPoint> &points = gpsPoints;
        if (points.size() == points.capacity())
            points.reserve(points.capacity() + points.capacity() / 2 + 64);
        if (point.hasBadCoordinates()) {
            badCoordinates_.push_back({points.size(), 0, 0}); // placed once the read is over
            badStarts_.push_back(context.startByte);
        }
        points.push_back(std::move(point));
        if (pointObserver_)
            pointObserver_(points.back(), context.hasElevationSoFar);
    });
}

void GpxReader::startBuilding(std::uint64_t expectedBytes) {
    gpsPoints.reserve(std::min(expectedBytes / kBytesPerPointGuess, kMaxReserve));
    if (!buildAside_)
        return;
    builder_ = std::make_unique<BuildingThread>([this](CapturedPoints &batch) { build(batch); });
    if (!builder_->start())
        builder_.reset();
}

void GpxReader::parserDidEndDocument() {
    currentStringValue.clear();
    isDateTime = false;
}

void GpxReader::parseErrorOccurred(GpxError error) {
    if (!error_)
        error_ = std::move(error);
}

GpxResult GpxReader::refuse(std::string description) {
    parserDidStartDocument();
    error_ = unreadableLog(std::move(description));
    return finish();
}

GpxResult GpxReader::finish() {
    // Completed points are kept whatever stopped the read; one still open is not.
    pointData->dropOpen();
    if (builder_) {
        if (pointData->size() > 0)
            pointData = builder_->exchange(std::move(pointData));
        builder_->close();
        builder_.reset();
    }
    build(*pointData);
    GpxResult result;
    result.points = std::move(gpsPoints);
    gpsPoints = {};
    result.badCoordinates = std::move(badCoordinates_);
    badCoordinates_ = {};
    result.hasElevation = hasElevation;
    result.error = std::move(error_);
    error_.reset();
    return result;
}

void GpxReader::placeBadPoints(GpxResult &result, const std::function<void(StartTagLocator &)> &readAgain) {
    if (badStarts_.empty())
        return;
    StartTagLocator locator(badStarts_);
    readAgain(locator);
    for (std::size_t i = 0; i < result.badCoordinates.size() && i < locator.found().size(); ++i)
        std::tie(result.badCoordinates[i].line, result.badCoordinates[i].column) = locator.found()[i];
    badStarts_.clear();
}

GpxResult GpxReader::parseGPXBytes(std::string_view bytes, std::size_t chunkSize) {
    Parser parser(*this);
    if (!parser.ok()) {
        return refuse("no XML parser could be made");
    }
    parserDidStartDocument();
    startBuilding(bytes.size());
    if (chunkSize == 0 || chunkSize > static_cast<std::size_t>(kReadChunk))
        chunkSize = std::max<std::size_t>(1, std::min<std::size_t>(bytes.size(), kReadChunk));
    bool good = true;
    for (std::size_t at = 0; good && at < bytes.size(); at += chunkSize)
        good = parser.feed(bytes.data() + at, std::min(chunkSize, bytes.size() - at), false);
    if (good && parser.feed(nullptr, 0, true))
        parserDidEndDocument();
    GpxResult result = finish();
    placeBadPoints(result, [&](StartTagLocator &locator) {
        for (std::size_t at = 0; at < bytes.size(); at += kReadChunk)
            if (!locator.feed(bytes.data() + at, std::min<std::size_t>(kReadChunk, bytes.size() - at), false))
                return;
        locator.feed(nullptr, 0, true);
    });
    return result;
}

GpxResult GpxReader::parseGPXFile(const std::string &path, const GpxProgress &progress) {
    ReadOnlyFile opened = openReadOnly(path);
    switch (opened.problem) {
    case ReadOnlyFile::Problem::None:
        break;
    case ReadOnlyFile::Problem::CannotOpen:
        return refuse("cannot open \"" + path + "\": " + opened.error.message());
    case ReadOnlyFile::Problem::CannotExamine:
        return refuse("cannot examine \"" + path + "\": " + opened.error.message());
    case ReadOnlyFile::Problem::NotRegular: {
        const FileType type = opened.status.type;
        const char *what = type == FileType::Folder   ? "a folder"
                           : type == FileType::Pipe   ? "a pipe"
                           : type == FileType::Socket ? "a socket"
                                                      : "a device";
        return refuse("\"" + path + "\" is " + what + ", not a GPS log file");
    }
    }
    File &file = opened.file;

    Parser parser(*this);
    if (!parser.ok()) {
        return refuse("no XML parser could be made");
    }
    parserDidStartDocument();
    const std::uint64_t total = opened.status.size;
    startBuilding(total);

    std::uint64_t done = 0;
    for (;;) {
        std::optional<GpxError> readError;
        const long n = parser.feedFrom(file, readError);
        if (readError)
            error_ = std::move(readError); // a read error precedes any parse error
        if (n < 0)
            break;
        if (n == 0) {
            parserDidEndDocument();
            break;
        }
        done += static_cast<std::uint64_t>(n);
        if (progress && !progress(done, total)) {
            GpxError e;
            e.kind = GpxError::Kind::Cancelled;
            e.description = "the read was cancelled";
            parseErrorOccurred(std::move(e));
            break;
        }
    }
    GpxResult result = finish();
    placeBadPoints(result, [&file](StartTagLocator &locator) {
        std::vector<char> buffer(kReadChunk);
        for (std::uint64_t at = 0;;) {
            const std::optional<std::size_t> n = file.readAt(at, buffer.data(), buffer.size());
            if (!n || *n == 0 || !locator.feed(buffer.data(), *n, false))
                return;
            at += *n;
        }
    });
    return result;
}

} // namespace pelorin
