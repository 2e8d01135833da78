#pragma once

#include "documents/XmlText.h"
#include "fileio/ByteSink.h"
#include "parallel/Parallel.h"

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

// Makes items [0, n) into out with make(ChunkedOutput &into, from, to), in
// rounds of runs made on every core at once: the first run of a round here,
// written as it is made, the others into memory, written after it in order.
// The bytes are those of make(out, 0, n). lanes: runs at once, 0 for partsFor(n).
template <class Make>
void makeInParallel(ChunkedOutput &out, std::size_t n, Make &&make, std::size_t lanes = 0) {
    if (lanes == 0)
        lanes = partsFor(n);
    if (!out.hasSink() || lanes < 2) {
        make(out, std::size_t{0}, n);
        return;
    }
    // A few rounds, so the runs held in memory stay a fraction of the document.
    const std::size_t run = std::max<std::size_t>(n / (4 * lanes) + 1, kWorthAThread);
    std::vector<std::vector<std::string>> pieces(lanes);
    for (std::size_t first = 0; first < n; first += lanes * run) {
        eachAtOnce(lanes, [&](std::size_t lane) {
            const std::size_t from = std::min(first + lane * run, n);
            const std::size_t to = std::min(from + run, n);
            if (lane == 0) {
                make(out, from, to);
                return;
            }
            const ByteSink keep = [&piece = pieces[lane]](std::string_view bytes) {
                piece.emplace_back(bytes);
            };
            ChunkedOutput ahead(&keep);
            make(ahead, from, to);
            ahead.flush();
        });
        for (std::vector<std::string> &lane : pieces) {
            for (const std::string &piece : lane)
                out.raw(piece);
            lane.clear();
        }
    }
}

// Each writer's two forms, from the one function that writes it: to a sink in
// chunks, or whole as one text.
template <class Write> void writeChunked(const ByteSink &sink, Write &&write) {
    ChunkedOutput out(&sink);
    write(out);
}

template <class Write> std::string chunkedText(Write &&write) {
    ChunkedOutput out(nullptr);
    write(out);
    return std::move(out.text());
}

} // namespace pelorin
