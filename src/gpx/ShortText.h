#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pelorin {

// An optional text in 16 bytes: up to 15 bytes inline, longer ones on the heap.
// Track points hold three of these; a week-long log has a million points, so
// std::string (32 bytes, heap beyond 15) per field would double the footprint.
class ShortText {
public:
    ShortText() noexcept { bytes_[15] = static_cast<char>(kAbsent); }
    explicit ShortText(std::string_view text)
        : ShortText() {
        assign(text);
    }
    ShortText(const ShortText &other);
    ShortText(ShortText &&other) noexcept;
    ShortText &operator=(const ShortText &other);
    ShortText &operator=(ShortText &&other) noexcept;
    ~ShortText() { release(); }

    bool has() const noexcept { return tag() != kAbsent; }
    // Inline: read for every point of a track that is written.
    std::string_view view() const noexcept {
        return tag() <= kInlineMax ? std::string_view(bytes_, tag()) : heapView();
    }
    std::optional<std::string_view> get() const noexcept {
        if (!has())
            return std::nullopt;
        return view();
    }
    void assign(std::string_view text);
    void reset() noexcept;

private:
    static constexpr std::uint8_t kInlineMax = 15;
    static constexpr std::uint8_t kHeap = 0xFE;
    static constexpr std::uint8_t kAbsent = 0xFF;
    void release() noexcept;
    const char *heapBlock() const noexcept;
    std::string_view heapView() const noexcept; // empty when absent

    // Byte 15 is the tag: the length of an inline text (bytes 0..14), kHeap or
    // kAbsent. A heap text keeps in bytes 0..7 a pointer to a block that holds
    // its size (a std::size_t) followed by the bytes.
    alignas(8) char bytes_[16];
    std::uint8_t tag() const noexcept { return static_cast<std::uint8_t>(bytes_[15]); }
};

static_assert(sizeof(ShortText) == 16);

} // namespace pelorin
