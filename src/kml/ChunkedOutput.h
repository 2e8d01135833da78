#pragma once

#include "fileio/ByteSink.h"
#include "kml/XmlText.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace pelorin {

// What every document writer writes into. Collects the document and hands it to the sink in pieces of about
// kChunk bytes; without a sink it keeps the whole document.
class ChunkedOutput {
public:
    static constexpr std::size_t kChunk = 64 * 1024;

    explicit ChunkedOutput(const ByteSink *sink)
        : sink_(sink) {
        if (sink_)
            text_.reserve(kChunk + 4096);
    }

    std::string &text() noexcept { return text_; }
    bool hasSink() const noexcept { return sink_ != nullptr; }

    void raw(std::string_view bytes) {
        if (sink_ && bytes.size() >= kChunk) {
            flush(); // a large piece goes as it is, not through the buffer
            (*sink_)(bytes);
            return;
        }
        text_.append(bytes);
        flushIfFull();
    }

    // An element with character data on one line of its own.
    void element(int depth, std::string_view name, std::string_view content) {
        indent(depth);
        text_.append("<").append(name).append(">");
        appendXmlText(text_, content);
        text_.append("</").append(name).append(">\n");
        flushIfFull();
    }

    void open(int depth, std::string_view tag) {
        indent(depth);
        text_.append("<").append(tag).append(">\n");
    }

    void close(int depth, std::string_view name) {
        indent(depth);
        text_.append("</").append(name).append(">\n");
        flushIfFull();
    }

    void indent(int depth) { text_.append(static_cast<std::size_t>(depth) * 4, ' '); }

    void flushIfFull() {
        if (sink_ && text_.size() >= kChunk)
            flush();
    }

    void flush() {
        if (sink_ && !text_.empty()) {
            (*sink_)(text_);
            text_.clear();
        }
    }

private:
    const ByteSink *sink_;
    std::string text_;
};

} // namespace pelorin
