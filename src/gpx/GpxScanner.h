#pragma once

#include "gpx/GpxReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pelorin {

// The reader's second front end: finds the tags, texts, comments and
// processing instructions of a UTF-8 document and raises the reader's events
// for them as expat would, references and line ends resolved as expat resolves
// them, but without checking that the document is well formed: expat checks
// the same bytes on another core, and a document it refuses is read again by
// expat alone. What the scan was not made for (another encoding, a DOCTYPE, a
// reference it does not know, a token over kLongestToken) it does not guess
// at: it gives up, and expat alone reads the document.
struct GpxReader::Scanner {
    static constexpr std::size_t kLongestToken = std::size_t{64} << 20;

    explicit Scanner(GpxReader &reader)
        : reader_(reader) {}

    // Scans data, whose first byte is at `offset` in the document. Returns the
    // bytes it has consumed: all of them when `last`, else up to a token that
    // may go on past the end, which the caller hands in again with what follows.
    std::size_t scan(const char *data, std::size_t size, std::int64_t offset, bool last);
    bool gaveUp() const noexcept { return gaveUp_; }

private:
    // Each returns where the scan goes on, nullptr when the token is incomplete.
    const char *declaration(const char *p, const char *end, bool last);
    const char *markup(const char *p, const char *end, std::int64_t at);
    const char *startTag(const char *p, const char *end, std::int64_t at);
    const char *endTag(const char *p, const char *end);
    void text(const char *p, const char *end);
    void cdata(const char *p, const char *end);
    // Appends the text with its references and line ends resolved; false on a
    // reference the scan does not know.
    bool resolve(const char *p, const char *end, bool attribute, std::string &into);
    const char *giveUp() noexcept {
        gaveUp_ = true;
        return nullptr;
    }

    GpxReader &reader_;
    bool started_ = false; // the byte order mark and the declaration are behind
    bool gaveUp_ = false;
    long depth_ = 0;  // open elements: text outside the root is not reported
    std::string tag_; // the tag's name, then its attributes' names and values, NUL-terminated
    std::vector<std::size_t> offsets_; // of each attribute's name and value in tag_
    std::vector<const char *> attributes_;
    std::string resolved_; // a text whose references were resolved
};

} // namespace pelorin
