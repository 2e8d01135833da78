#pragma once

#include "gpx/CapturedPoints.h"
#include "gpx/TrackPoint.h"
#include "gpx/WellFormedCheck.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelorin {

class BuildingThread;
class StartTagLocator;

struct GpxError {
    enum class Kind {
        Unreadable, // no parser could be made: missing, unreadable, a directory, a FIFO, ...
        Parse,      // the parser stopped at a fatal error
        Cancelled,  // the progress callback asked to stop
    };
    Kind kind = Kind::Parse;
    int code = 0;            // the parser's error code (Parse only)
    std::string description; // the parser's description, or why the file is unreadable
    long line = 0;           // 1-based
    long column = 0;         // 1-based, as a person counts them
};

// A point whose latitude or longitude cannot be used (see TrackPoint::hasBadCoordinates).
struct BadCoordinatePoint {
    std::size_t index = 0; // in GpxResult::points
    long line = 0;         // of its start tag, 1-based
    long column = 0;       // 1-based
};

struct GpxResult {
    std::vector<TrackPoint> points;                 // file order (completed points even on error)
    std::vector<BadCoordinatePoint> badCoordinates; // in file order
    bool hasElevation = false;
    std::optional<GpxError> error;

    bool ok() const noexcept { return !error.has_value(); }
};

// Called as the input is read; return false to cancel the read.
using GpxProgress = std::function<bool(std::uint64_t bytesRead, std::uint64_t totalBytes)>;

// The event-driven GPX reader. Owns the parse state of one document; its
// handlers keep the names of the parser events they answer.
class GpxReader {
public:
    GpxReader();
    ~GpxReader();
    GpxReader(const GpxReader &) = delete;
    GpxReader &operator=(const GpxReader &) = delete;

    // Reads the file at path in chunks; never holds the whole file.
    GpxResult parseGPXFile(const std::string &path, const GpxProgress &progress = {});
    // Reads a document held in memory, fed to the parser in chunks of chunkSize
    // bytes (0: the file reader's chunk size), so tests and fuzzers reach the
    // streaming path.
    GpxResult parseGPXBytes(std::string_view bytes, std::size_t chunkSize = 0);

    // Called with each point as it is completed, in file order, and whether
    // the log has had an elevation so far, so a writer can start on the track
    // while the rest of the log is read. The point must not be kept, and the
    // observer must not throw.
    using PointObserver = std::function<void(const TrackPoint &point, bool hasElevationSoFar)>;
    void setPointObserver(PointObserver observer) { pointObserver_ = std::move(observer); }

    // Reads on two cores, for the same result: expat checks the document on
    // one while a scan made for GPX finds its points on the caller's. A
    // document the scan does not take, or expat refuses, is read again by
    // expat alone, its points built on the second core; the observer then
    // hears only of points it has not heard of, but may have heard of points
    // past an error the result stops at.
    void setReadOnTwoCores(bool twoCores) { twoCores_ = twoCores; }
    // With two cores, a read of a file returns once the scan is through,
    // before expat has judged the document: for a caller with more to do
    // meanwhile, who asks expatAgrees() before trusting what it made.
    void setVerdictLater(bool later) { verdictLater_ = later; }
    // Waits for expat's verdict on a read left for later: false when expat
    // refused the document, whose result must then not be used (read it again
    // without the scan to learn why). True for every other read.
    bool expatAgrees();
    // Whether the last read's points came from the scan, for the tests that
    // hold the two ways to one result.
    bool lastReadScanned() const noexcept { return scanned_; }

private:
    struct Parser;
    friend struct Parser;
    struct Scanner;
    friend struct Scanner;
    enum class Element; // the elements the reader acts on
    static Element elementOf(const char *name) noexcept;

    // The markup events the front ends raise (expat, or the scan beside it):
    // names and attributes NUL-terminated, attributes as name/value pairs
    // ending in a null. A piece of character data may come in several runs;
    // a tag, comment or processing instruction ends it.
    void startElement(const char *name, const char **attributes, std::int64_t startByte);
    void endElement(const char *name);
    void foundCharacters(const char *text, const char *end);
    void endOfText();
    [[gnu::noinline]] void appendText(const char *text, const char *end);

    // What the events mean to a GPX log, in the order they come; character
    // data is collected into the accumulator by foundCharacters.
    void parserDidStartDocument();
    void didStartElement(Element element, const char **attributes);
    void didEndElement(Element element);
    void parserDidEndDocument();
    void parseErrorOccurred(GpxError error); // keeps the first
    std::uint32_t pointSegment();            // of the `trkpt` that starts

    // The scan beside expat's check; on GaveUp expat alone must read the document.
    enum class ScanEnd { Whole, GaveUp, Cancelled };
    ScanEnd scan(const ReadDocumentAt &readAt, std::size_t chunkSize, std::uint64_t total,
                 const GpxProgress &progress);
    ScanEnd awaitVerdict(WellFormedCheck &check, std::uint64_t total, const GpxProgress &progress);
    template <class ReadByExpat>
    GpxResult read(const ReadDocumentAt &readAt, std::size_t chunkSize, std::uint64_t total,
                   const GpxProgress &progress, bool verdictMayWait, ReadByExpat &&readByExpat);
    static GpxError cancelledRead();
    GpxResult refuse(std::string description); // no parser could be made
    GpxResult finish();
    // Gives the bad points their line and column; readAgain feeds the document to the locator.
    void placeBadPoints(GpxResult &result, const std::function<void(StartTagLocator &)> &readAgain);

    void startBuilding(std::uint64_t expectedBytes, bool aside);
    void pointEnded(); // hands the captured points on when it is time
    void build(CapturedPoints &captured);

    // Built points; the builder's own while it runs.
    std::vector<TrackPoint> gpsPoints;
    // The points read but not yet built, the open one (ended by its end tag) last.
    std::unique_ptr<CapturedPoints> pointData;
    std::int64_t pointStart_ = 0; // where the point that starts begins, in bytes
    // The accumulator; "discarded" means cleared, so its buffer is reused.
    std::string currentStringValue;
    bool inText_ = false;       // a piece of character data is being collected
    std::size_t textStart_ = 0; // where it starts in the accumulator
    bool isDateTime = false;
    bool isName = false; // inside a `name` element
    bool isElevation = false;
    bool hasElevation = false;
    std::optional<GpxError> error_;

    // Which segment a `trkpt` belongs to: each `trkseg` is a new one, counted
    // across tracks; a `trkpt` outside any `trkseg` has its track's own.
    std::uint32_t segmentsSeen_ = 0;
    std::optional<std::uint32_t> segment_;           // of the open trkseg
    std::optional<std::uint32_t> trackSegment_;      // of the open trk's bare points
    std::vector<BadCoordinatePoint> badCoordinates_; // the builder's own while it runs
    std::vector<std::int64_t> badStarts_;            // where each begins, until placed
    PointObserver pointObserver_;
    std::size_t observeFrom_ = 0; // points the observer heard of in a read given up
    bool twoCores_ = false;
    bool verdictLater_ = false;
    std::unique_ptr<WellFormedCheck> pendingCheck_; // of a read whose verdict was left for later
    bool scanned_ = false;
    std::unique_ptr<BuildingThread> builder_; // builds the points aside
};

} // namespace pelorin
