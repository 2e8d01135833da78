#include "gpx/GpxReader.h"

#include "gpx/BuildingThread.h"
#include "gpx/GpxParser.h"
#include "gpx/GpxScanner.h"
#include "gpx/StartTagLocator.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
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

// Every other element only ends a text.
enum class GpxReader::Element { TrackPoint, Waypoint, Time, Elevation, Name, Segment, Track, Other };

// Called for every element of the log: no strlen, no copies.
GpxReader::Element GpxReader::elementOf(const char *name) noexcept {
    switch (name[0]) {
    case 't':
        if (nameIs(name, "trkpt"))
            return Element::TrackPoint;
        if (nameIs(name, "time"))
            return Element::Time;
        return nameIs(name, "trkseg") ? Element::Segment
               : nameIs(name, "trk")  ? Element::Track
                                      : Element::Other;
    case 'w':
        return nameIs(name, "wpt") ? Element::Waypoint : Element::Other;
    case 'e':
        return nameIs(name, "ele") ? Element::Elevation : Element::Other;
    case 'n':
        return nameIs(name, "name") ? Element::Name : Element::Other;
    default:
        return Element::Other;
    }
}

GpxReader::GpxReader() = default;
GpxReader::~GpxReader() = default;

void GpxReader::parserDidStartDocument() {
    gpsPoints = {};
    pointData = std::make_unique<CapturedPoints>();
    currentStringValue.clear();
    inText_ = false;
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

void GpxReader::startElement(const char *name, const char **attributes, std::int64_t startByte) {
    endOfText();
    const Element element = elementOf(name);
    if (element == Element::TrackPoint || element == Element::Waypoint)
        pointStart_ = startByte;
    didStartElement(element, attributes);
}

void GpxReader::endElement(const char *name) {
    endOfText();
    didEndElement(elementOf(name));
}

// Character data between two markup events is one piece, wherever the input's
// buffers happened to end. It goes straight into the accumulator and is trimmed
// there once the piece is complete.
void GpxReader::endOfText() {
    if (!inText_)
        return;
    inText_ = false;
    std::string &value = currentStringValue;
    if (value.size() == textStart_)
        return;
    const std::string_view piece(value.data() + textStart_, value.size() - textStart_);
    const std::string_view kept = trimmed(piece);
    if (kept.size() == piece.size())
        return;
    std::memmove(value.data() + textStart_, kept.data(), kept.size());
    value.resize(textStart_ + kept.size());
}

// Called for every run of text, the indentation between elements included
// (a line break is a run of its own for expat): the blank runs that open a
// piece return at once, the rest goes out of line.
void GpxReader::foundCharacters(const char *text, const char *end) {
    if (inText_ && currentStringValue.size() != textStart_) {
        appendText(text, end);
        return;
    }
    if (!inText_) {
        inText_ = true;
        textStart_ = currentStringValue.size();
    }
    // Whitespace that opens a piece goes in trimming anyway; most pieces
    // between elements are nothing else.
    text = skipAsciiBlanks(text, end);
    if (text != end)
        appendText(text, end);
}

void GpxReader::appendText(const char *text, const char *end) {
    currentStringValue.append(text, static_cast<std::size_t>(end - text));
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
        if (pointObserver_ && points.size() > observeFrom_)
            pointObserver_(points.back(), context.hasElevationSoFar);
    });
}

void GpxReader::startBuilding(std::uint64_t expectedBytes, bool aside) {
    gpsPoints.reserve(std::min(expectedBytes / kBytesPerPointGuess, kMaxReserve));
    if (!aside)
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

GpxError GpxReader::cancelledRead() {
    GpxError e;
    e.kind = GpxError::Kind::Cancelled;
    e.description = "the read was cancelled";
    return e;
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

GpxReader::ScanEnd GpxReader::scan(const ReadDocumentAt &readAt, std::size_t chunkSize, std::uint64_t total,
                                   const GpxProgress &progress) {
    parserDidStartDocument();
    startBuilding(total, false);
    Scanner scanner(*this);
    std::vector<char> buffer(2 * chunkSize);
    std::size_t held = 0; // bytes not yet scanned, at the buffer's start
    for (std::uint64_t at = 0;;) {
        if (buffer.size() - held < chunkSize) {
            if (buffer.size() > Scanner::kLongestToken)
                return ScanEnd::GaveUp;
            buffer.resize(2 * buffer.size());
        }
        const std::optional<std::size_t> n = readAt(at, buffer.data() + held, chunkSize);
        if (!n)
            return ScanEnd::GaveUp; // expat's read says why
        at += *n;
        held += *n;
        const std::size_t scanned =
            scanner.scan(buffer.data(), held, static_cast<std::int64_t>(at - held), *n == 0);
        if (scanner.gaveUp())
            return ScanEnd::GaveUp;
        held -= scanned;
        std::memmove(buffer.data(), buffer.data() + scanned, held);
        if (*n == 0)
            break;
        if (progress && !progress(at, total)) {
            parseErrorOccurred(cancelledRead());
            return ScanEnd::Cancelled;
        }
    }
    parserDidEndDocument();
    return ScanEnd::Whole;
}

// Reads a document in one of two ways: the scan beside expat's check, or
// expat alone (from where the scan gave up, as far as the observer can tell).
template <class ReadByExpat>
GpxResult GpxReader::read(const ReadDocumentAt &readAt, std::size_t chunkSize, std::uint64_t total,
                          const GpxProgress &progress, bool verdictMayWait, ReadByExpat &&readByExpat) {
    observeFrom_ = 0;
    scanned_ = false;
    pendingCheck_.reset();
    if (twoCores_) {
        auto check = std::make_unique<WellFormedCheck>();
        if (check->start(readAt)) {
            const bool later = verdictLater_ && verdictMayWait;
            ScanEnd end = scan(readAt, chunkSize, total, progress);
            if (end == ScanEnd::Whole && !later)
                end = awaitVerdict(*check, total, progress);
            if (end == ScanEnd::Cancelled)
                return finish();
            if (end == ScanEnd::Whole) {
                if (later)
                    pendingCheck_ = std::move(check);
                scanned_ = true;
                return finish();
            }
        }
    }
    observeFrom_ = gpsPoints.size();
    GpxResult result = readByExpat();
    observeFrom_ = 0;
    return result;
}

// The scan is through; expat is usually not far behind. A caller that watches
// the progress keeps hearing from the read meanwhile (a window stays alive),
// and may still cancel it. GaveUp when expat refuses the document.
GpxReader::ScanEnd GpxReader::awaitVerdict(WellFormedCheck &check, std::uint64_t total,
                                           const GpxProgress &progress) {
    if (progress) {
        while (!check.done(std::chrono::milliseconds(10))) {
            if (!progress(total, total)) {
                check.cancel();
                parseErrorOccurred(cancelledRead());
                return ScanEnd::Cancelled;
            }
        }
    }
    return check.wellFormed() ? ScanEnd::Whole : ScanEnd::GaveUp;
}

bool GpxReader::expatAgrees() {
    if (!pendingCheck_)
        return true;
    const bool agrees = pendingCheck_->wellFormed();
    pendingCheck_.reset();
    return agrees;
}

GpxResult GpxReader::parseGPXBytes(std::string_view bytes, std::size_t chunkSize) {
    if (chunkSize == 0 || chunkSize > static_cast<std::size_t>(kReadChunk))
        chunkSize = std::max<std::size_t>(1, std::min<std::size_t>(bytes.size(), kReadChunk));
    const ReadDocumentAt readAt = [bytes](std::uint64_t at, char *into,
                                          std::size_t size) -> std::optional<std::size_t> {
        const std::size_t n = at < bytes.size() ? std::min<std::size_t>(size, bytes.size() - at) : 0;
        std::memcpy(into, bytes.data() + at, n);
        return n;
    };
    // The bytes are the caller's: the verdict cannot wait for later.
    GpxResult result = read(readAt, chunkSize, bytes.size(), {}, false, [&] {
        Parser parser(*this);
        if (!parser.ok())
            return refuse("no XML parser could be made");
        parserDidStartDocument();
        startBuilding(bytes.size(), twoCores_);
        bool good = true;
        for (std::size_t at = 0; good && at < bytes.size(); at += chunkSize)
            good = parser.feed(bytes.data() + at, std::min(chunkSize, bytes.size() - at), false);
        if (good && parser.feed(nullptr, 0, true))
            parserDidEndDocument();
        return finish();
    });
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
    // Shared with expat's check, which may still be reading when the result is out.
    const auto shared = std::make_shared<File>(std::move(opened.file));
    File &file = *shared;
    const std::uint64_t total = opened.status.size;
    const ReadDocumentAt readAt = [shared](std::uint64_t at, char *into, std::size_t size) {
        return shared->readAt(at, into, size);
    };
    GpxResult result = read(readAt, kReadChunk, total, progress, true, [&] {
        Parser parser(*this);
        if (!parser.ok())
            return refuse("no XML parser could be made");
        parserDidStartDocument();
        startBuilding(total, twoCores_);
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
                parseErrorOccurred(cancelledRead());
                break;
            }
        }
        return finish();
    });
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
