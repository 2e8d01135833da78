#pragma once

#include "documents/XmlText.h"
#include "fileio/ByteSink.h"
#include "georef/InTwoHalves.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// Makes items [0, n) into out with make(ChunkedOutput &into, from, to), runs
// of them alternately on this core and on another: a run made there waits in
// memory, one run at a time, while the run before it is made and written here.
// The bytes are those of make(out, 0, n).
template <class Make> void makeOnTwoCores(ChunkedOutput &out, std::size_t n, Make &&make) {
    if (!out.hasSink() || n < kWorthTwoThreads) {
        make(out, std::size_t{0}, n);
        return;
    }
    const std::size_t run = std::max<std::size_t>(n / 8 + 1, kWorthTwoThreads / 2);
    std::vector<std::string> pieces;
    const ByteSink keep = [&pieces](std::string_view bytes) { pieces.emplace_back(bytes); };
    for (std::size_t from = 0; from < n; from += 2 * run) {
        const std::size_t middle = std::min(from + run, n);
        const std::size_t to = std::min(middle + run, n);
        ChunkedOutput ahead(&keep);
        bothAtOnce([&] { make(out, from, middle); },
                   [&] {
                       make(ahead, middle, to);
                       ahead.flush();
                   });
        for (const std::string &piece : pieces)
            out.raw(piece);
        pieces.clear();
    }
}

} // namespace pelorin
