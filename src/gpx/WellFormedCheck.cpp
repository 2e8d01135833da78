#include "gpx/WellFormedCheck.h"

#include "gpx/SafeXmlParser.h"

#include <system_error>

namespace pelorin {

namespace {

constexpr int kCheckChunk = 256 * 1024;

} // namespace

WellFormedCheck::~WellFormedCheck() {
    cancel();
    if (thread_.joinable())
        thread_.join();
}

bool WellFormedCheck::start(ReadDocumentAt readAt) {
    try {
        thread_ = std::thread([this, readAt = std::move(readAt)] { run(readAt); });
        return true;
    } catch (const std::system_error &) {
        return false;
    }
}

bool WellFormedCheck::done(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    return finished_.wait_for(lock, wait, [this] { return done_; });
}

bool WellFormedCheck::wellFormed() {
    if (thread_.joinable())
        thread_.join();
    return wellFormed_ && !cancelled_;
}

void WellFormedCheck::run(const ReadDocumentAt &readAt) {
    check(readAt);
    const std::lock_guard lock(mutex_);
    done_ = true;
    finished_.notify_all();
}

// No handlers but the refusal of entities: the parser only checks.
void WellFormedCheck::check(const ReadDocumentAt &readAt) {
    SafeXmlParser parser;
    if (!parser.ok())
        return;
    for (std::uint64_t at = 0; !cancelled_;) {
        void *buffer = XML_GetBuffer(parser.parser(), kCheckChunk);
        if (!buffer)
            return;
        const std::optional<std::size_t> n = readAt(at, static_cast<char *>(buffer), kCheckChunk);
        if (!n)
            return;
        if (XML_ParseBuffer(parser.parser(), static_cast<int>(*n), *n == 0) == XML_STATUS_ERROR)
            return;
        if (*n == 0) {
            wellFormed_ = true;
            return;
        }
        at += *n;
    }
}

} // namespace pelorin
