#include "gpx/GpxReader.h"

#include "gpx/Coordinate.h"
#include "text/Windows1252.h"

#include <expat.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace pelorin {

namespace {

constexpr int kReadChunk = 256 * 1024;
// A point element with `ele` and `time` children takes about this many bytes;
// reserving from it spares the list's regrowth. Pages of a reserve that stays
// unused are never touched, so a generous guess costs no memory.
constexpr std::uint64_t kBytesPerPointGuess = 100;
constexpr std::uint64_t kMaxReserve = std::uint64_t{1} << 26;
// Points handed to the builder at a time: few enough to stay in the caches,
// enough to lock rarely. A run of unusually long texts goes early.
constexpr std::size_t kBatchPoints = 2048;
constexpr std::size_t kBatchBytes = 256 * 1024;
constexpr int kBatches = 4;

// The whitespace-and-newline set: category Z, tab, U+000A..U+000D and U+0085.
// Text comes from the parser as UTF-8; most of it is ASCII, checked first.
bool asciiSpace(char c) noexcept {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// True when the NUL-terminated name is literal; stops at the first difference,
// so it never reads past a shorter name's end.
template <std::size_t N> bool nameIs(const char *name, const char (&literal)[N]) noexcept {
    for (std::size_t i = 0; i < N; ++i) {
        if (name[i] != literal[i])
            return false;
    }
    return true;
}

// The indentation between elements is mostly runs of spaces; eight at a time.
const char *skipAsciiSpace(const char *text, const char *end) noexcept {
    constexpr std::uint64_t kSpaces = 0x2020202020202020u;
    while (end - text >= 8) {
        std::uint64_t word;
        std::memcpy(&word, text, sizeof word);
        if (word != kSpaces)
            break;
        text += 8;
    }
    while (text < end && asciiSpace(*text))
        ++text;
    return text;
}

// Length of the non-ASCII space that starts at p, or 0.
std::size_t wideSpaceAt(const char *p, const char *end) noexcept {
    const auto byte = [p](int k) { return static_cast<unsigned char>(p[k]); };
    const std::ptrdiff_t left = end - p;
    if (byte(0) == 0xC2 && left >= 2)
        return byte(1) == 0x85 || byte(1) == 0xA0 ? 2 : 0; // U+0085, U+00A0
    if (left < 3)
        return 0;
    switch (byte(0)) {
    case 0xE1:
        return byte(1) == 0x9A && byte(2) == 0x80 ? 3 : 0; // U+1680
    case 0xE2:
        if (byte(1) == 0x80) // U+2000..U+200A, U+2028, U+2029, U+202F
            return byte(2) <= 0x8A || byte(2) == 0xA8 || byte(2) == 0xA9 || byte(2) == 0xAF ? 3 : 0;
        return byte(1) == 0x81 && byte(2) == 0x9F ? 3 : 0; // U+205F
    case 0xE3:
        return byte(1) == 0x80 && byte(2) == 0x80 ? 3 : 0; // U+3000
    default:
        return 0;
    }
}

// Length of the non-ASCII space that ends at end (not reaching before begin), or 0.
// Valid UTF-8: a lead byte two or three back starts the last character.
std::size_t wideSpaceBefore(const char *begin, const char *end) noexcept {
    if (end - begin >= 2 && wideSpaceAt(end - 2, end) == 2)
        return 2;
    if (end - begin >= 3 && wideSpaceAt(end - 3, end) == 3)
        return 3;
    return 0;
}

std::string_view trimmed(std::string_view s) noexcept {
    const char *begin = s.data();
    const char *end = begin + s.size();
    for (;;) {
        while (begin < end && asciiSpace(*begin))
            ++begin;
        const std::size_t n =
            begin < end && static_cast<unsigned char>(*begin) >= 0x80 ? wideSpaceAt(begin, end) : 0;
        if (n == 0)
            break;
        begin += n;
    }
    for (;;) {
        while (end > begin && asciiSpace(end[-1]))
            --end;
        const std::size_t n =
            end > begin && static_cast<unsigned char>(end[-1]) >= 0x80 ? wideSpaceBefore(begin, end) : 0;
        if (n == 0)
            break;
        end -= n;
    }
    return {begin, static_cast<std::size_t>(end - begin)};
}

// A parser as every reading of a log needs it. Any entity declaration goes to
// refuseEntities, which stops the parser: external ones would reach files or
// the network, internal ones are the stuff of expansion attacks, and GPX needs
// neither. Windows-1252, which some loggers write, is understood.
XML_Parser logParser(void *userData, XML_EntityDeclHandler refuseEntities) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (!parser)
        return nullptr;
    XML_SetUserData(parser, userData);
    XML_SetEntityDeclHandler(parser, refuseEntities);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUnknownEncodingHandler(parser, &windows1252EncodingHandler, nullptr);
    return parser;
}

GpxError unreadable(std::string description) {
    GpxError e;
    e.kind = GpxError::Kind::Unreadable;
    e.description = std::move(description);
    return e;
}

} // namespace

// Every other element only ends a text.
enum class GpxReader::Element { TrackPoint, Waypoint, Time, Elevation, Name, Segment, Track, Other };

// One expat parser for one document; forwards its events to the reader's
// handlers and turns its failures into GpxError values.
struct GpxReader::Parser {
    explicit Parser(GpxReader &reader)
        : reader_(reader)
        , parser_(logParser(this, &Parser::onEntityDecl)) {
        if (!parser_)
            return;
        XML_SetElementHandler(parser_, &Parser::onStart, &Parser::onEnd);
        XML_SetCharacterDataHandler(parser_, &Parser::onCharacters);
        XML_SetCommentHandler(parser_, &Parser::onComment);
        XML_SetProcessingInstructionHandler(parser_, &Parser::onProcessingInstruction);
        // No default handler: setting one would turn off the expansion of &amp; and the like.
    }
    ~Parser() {
        if (parser_)
            XML_ParserFree(parser_);
    }
    Parser(const Parser &) = delete;
    Parser &operator=(const Parser &) = delete;

    bool ok() const noexcept { return parser_ != nullptr; }

    // Feeds bytes; false once the parser has stopped at an error.
    bool feed(const char *data, std::size_t size, bool last) {
        if (XML_Parse(parser_, data, static_cast<int>(size), last) == XML_STATUS_ERROR) {
            reportError();
            return false;
        }
        return true;
    }
    // Reads up to kReadChunk bytes from fd straight into the parser's buffer and
    // parses them; returns the byte count, 0 at the end, -1 on a read or parse error.
    long feedFrom(int fd, std::optional<GpxError> &readError) {
        void *buffer = XML_GetBuffer(parser_, kReadChunk);
        if (!buffer) {
            reportError();
            return -1;
        }
        ssize_t n;
        do {
            n = ::read(fd, buffer, kReadChunk);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            readError = unreadable(std::string("read error: ") + std::strerror(errno));
            return -1;
        }
        if (XML_ParseBuffer(parser_, static_cast<int>(n), n == 0) == XML_STATUS_ERROR) {
            reportError();
            return -1;
        }
        return static_cast<long>(n);
    }

private:
    static Parser &self(void *userData) { return *static_cast<Parser *>(userData); }

    // Called for every element of the log: no strlen, no copies.
    static Element elementOf(const char *name) noexcept {
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

    // Character data between two markup events is one piece, wherever the
    // parser's buffers happened to end. It goes straight into the accumulator
    // and is trimmed there once the piece is complete.
    void flushText() {
        if (!inText_)
            return;
        inText_ = false;
        std::string &value = reader_.currentStringValue;
        if (value.size() == textStart_)
            return;
        const std::string_view piece(value.data() + textStart_, value.size() - textStart_);
        const std::string_view kept = trimmed(piece);
        if (kept.size() == piece.size())
            return;
        std::memmove(value.data() + textStart_, kept.data(), kept.size());
        value.resize(textStart_ + kept.size());
    }

    static void XMLCALL onStart(void *userData, const XML_Char *name, const XML_Char **attributes) {
        Parser &p = self(userData);
        p.flushText();
        const Element element = elementOf(name);
        if (element == Element::TrackPoint || element == Element::Waypoint)
            p.reader_.pointStart_ = static_cast<std::int64_t>(XML_GetCurrentByteIndex(p.parser_));
        p.reader_.didStartElement(element, attributes);
    }
    static void XMLCALL onEnd(void *userData, const XML_Char *name) {
        Parser &p = self(userData);
        p.flushText();
        p.reader_.didEndElement(elementOf(name));
    }
    // Called for every run of text, the indentation between elements included
    // (a line break is a run of its own): the blank runs that open a piece
    // return at once, the rest goes out of line.
    static void XMLCALL onCharacters(void *userData, const XML_Char *text, int length) {
        Parser &p = self(userData);
        if (p.inText_ && p.reader_.currentStringValue.size() != p.textStart_) {
            p.append(text, text + length);
            return;
        }
        if (!p.inText_) {
            p.inText_ = true;
            p.textStart_ = p.reader_.currentStringValue.size();
        }
        // Whitespace that opens a piece goes in trimming anyway; most pieces
        // between elements are nothing else.
        const XML_Char *end = text + length;
        text = skipAsciiSpace(text, end);
        if (text != end)
            p.append(text, end);
    }
    [[gnu::noinline]] void append(const XML_Char *text, const XML_Char *end) {
        reader_.currentStringValue.append(text, static_cast<std::size_t>(end - text));
    }
    static void XMLCALL onComment(void *userData, const XML_Char *) { self(userData).flushText(); }
    static void XMLCALL onProcessingInstruction(void *userData, const XML_Char *, const XML_Char *) {
        self(userData).flushText();
    }
    static void XMLCALL onEntityDecl(void *userData, const XML_Char *, int, const XML_Char *, int,
                                     const XML_Char *, const XML_Char *, const XML_Char *, const XML_Char *) {
        Parser &p = self(userData);
        GpxError e;
        e.kind = GpxError::Kind::Parse;
        e.code = XML_ERROR_ABORTED;
        e.description = "entity declarations are not accepted (they could read other files or expand "
                        "without bound)";
        e.line = static_cast<long>(XML_GetCurrentLineNumber(p.parser_));
        e.column = static_cast<long>(XML_GetCurrentColumnNumber(p.parser_)) + 1;
        p.reader_.parseErrorOccurred(std::move(e));
        XML_StopParser(p.parser_, XML_FALSE);
    }

    void reportError() {
        GpxError e;
        e.kind = GpxError::Kind::Parse;
        const XML_Error code = XML_GetErrorCode(parser_);
        e.code = static_cast<int>(code);
        const XML_LChar *text = XML_ErrorString(code);
        e.description = text ? text : "unknown error";
        e.line = static_cast<long>(XML_GetCurrentLineNumber(parser_));
        e.column = static_cast<long>(XML_GetCurrentColumnNumber(parser_)) + 1;
        reader_.parseErrorOccurred(std::move(e)); // keeps the first: a refused entity stays the cause
    }

    GpxReader &reader_;
    XML_Parser parser_;
    bool inText_ = false;       // a piece of character data is being collected
    std::size_t textStart_ = 0; // where it starts in the accumulator
};

// Line and column of the start tags that begin at the given byte offsets
// (ascending), found by reading the document again with a parser set up as the
// reader's, so the numbers are the parser's own. Only a log with bad
// coordinates pays for it, and not while it is first read.
class StartTagLocator {
public:
    explicit StartTagLocator(const std::vector<std::int64_t> &offsets)
        : offsets_(offsets)
        , found_(offsets.size())
        , parser_(logParser(this, &StartTagLocator::onEntityDecl)) {
        if (parser_)
            XML_SetStartElementHandler(parser_, &StartTagLocator::onStart);
    }
    ~StartTagLocator() {
        if (parser_)
            XML_ParserFree(parser_);
    }
    StartTagLocator(const StartTagLocator &) = delete;
    StartTagLocator &operator=(const StartTagLocator &) = delete;

    // False once there is nothing more to find.
    bool feed(const char *data, std::size_t size, bool last) {
        return parser_ && next_ < offsets_.size() &&
               XML_Parse(parser_, data, static_cast<int>(size), last) == XML_STATUS_OK;
    }
    // (line, column) for each offset; (0, 0) where none was found.
    const std::vector<std::pair<long, long>> &found() const noexcept { return found_; }

private:
    static void XMLCALL onStart(void *userData, const XML_Char *, const XML_Char **) {
        StartTagLocator &l = *static_cast<StartTagLocator *>(userData);
        const auto at = static_cast<std::int64_t>(XML_GetCurrentByteIndex(l.parser_));
        while (l.next_ < l.offsets_.size() && l.offsets_[l.next_] <= at) {
            if (l.offsets_[l.next_] == at)
                l.found_[l.next_] = {static_cast<long>(XML_GetCurrentLineNumber(l.parser_)),
                                     static_cast<long>(XML_GetCurrentColumnNumber(l.parser_)) + 1};
            ++l.next_;
        }
        if (l.next_ == l.offsets_.size())
            XML_StopParser(l.parser_, XML_FALSE);
    }
    static void XMLCALL onEntityDecl(void *userData, const XML_Char *, int, const XML_Char *, int,
                                     const XML_Char *, const XML_Char *, const XML_Char *, const XML_Char *) {
        XML_StopParser(static_cast<StartTagLocator *>(userData)->parser_, XML_FALSE);
    }

    const std::vector<std::int64_t> &offsets_;
    std::vector<std::pair<long, long>> found_;
    std::size_t next_ = 0;
    XML_Parser parser_;
};

// Builds the captured points on its own thread, batch by batch in the order
// they come; the parser's thread waits only when every batch is in use.
struct GpxReader::Builder {
    explicit Builder(GpxReader &reader)
        : reader_(reader) {}
    ~Builder() { close(); }
    Builder(const Builder &) = delete;
    Builder &operator=(const Builder &) = delete;

    bool start() {
        try {
            thread_ = std::thread(&Builder::run, this);
            return true;
        } catch (const std::system_error &) {
            return false; // no thread to spare: the parser's thread builds
        }
    }
    // Takes a full batch and gives an empty one back.
    std::unique_ptr<CapturedPoints> exchange(std::unique_ptr<CapturedPoints> full) {
        std::unique_lock lock(mutex_);
        full_.push_back(std::move(full));
        ready_.notify_one();
        freed_.wait(lock, [this] { return !spare_.empty() || made_ < kBatches; });
        if (spare_.empty()) {
            ++made_;
            return std::make_unique<CapturedPoints>();
        }
        std::unique_ptr<CapturedPoints> empty = std::move(spare_.back());
        spare_.pop_back();
        return empty;
    }
    // Builds what is left and stops.
    void close() {
        if (!thread_.joinable())
            return;
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
        }
        ready_.notify_one();
        thread_.join();
    }

private:
    void run() {
        for (;;) {
            std::unique_ptr<CapturedPoints> batch;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return !full_.empty() || closing_; });
                if (full_.empty())
                    return;
                batch = std::move(full_.front());
                full_.pop_front();
            }
            reader_.build(*batch);
            {
                std::lock_guard lock(mutex_);
                spare_.push_back(std::move(batch));
            }
            freed_.notify_one();
        }
    }

    GpxReader &reader_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable freed_;
    std::deque<std::unique_ptr<CapturedPoints>> full_;
    std::vector<std::unique_ptr<CapturedPoints>> spare_;
    int made_ = 1; // the one the parser fills
    bool closing_ = false;
    std::thread thread_;
};

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
    builder_ = std::make_unique<Builder>(*this);
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
    error_ = unreadable(std::move(description));
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
    // O_NONBLOCK so that opening a FIFO without a writer cannot hang; fstat then refuses it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return refuse("cannot open \"" + path + "\": " + std::strerror(errno));
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return refuse("cannot examine \"" + path + "\": " + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        const char *what = S_ISDIR(info.st_mode)    ? "a folder"
                           : S_ISFIFO(info.st_mode) ? "a pipe"
                           : S_ISSOCK(info.st_mode) ? "a socket"
                                                    : "a device";
        return refuse("\"" + path + "\" is " + what + ", not a GPS log file");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    Parser parser(*this);
    if (!parser.ok()) {
        return refuse("no XML parser could be made");
    }
    parserDidStartDocument();
    const auto total = static_cast<std::uint64_t>(info.st_size);
    startBuilding(total);

    std::uint64_t done = 0;
    for (;;) {
        std::optional<GpxError> readError;
        const long n = parser.feedFrom(fd, readError);
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
    placeBadPoints(result, [fd](StartTagLocator &locator) {
        std::vector<char> buffer(kReadChunk);
        for (off_t at = 0;;) {
            const ssize_t n = ::pread(fd, buffer.data(), buffer.size(), at);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0 || !locator.feed(buffer.data(), static_cast<std::size_t>(n), false))
                return;
            at += n;
        }
    });
    return result;
}

} // namespace pelorin
