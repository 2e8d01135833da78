#include "gpx/ShortText.h"

#include <cstring>

namespace pelorin {

const char *ShortText::heapBlock() const noexcept {
    const char *block;
    std::memcpy(&block, bytes_, sizeof block);
    return block;
}

std::string_view ShortText::heapView() const noexcept {
    if (tag() != kHeap)
        return {};
    const char *block = heapBlock();
    std::size_t size;
    std::memcpy(&size, block, sizeof size);
    return {block + sizeof size, size};
}

void ShortText::assign(std::string_view text) {
    // Build the new value before letting go of the old one: text may point into it.
    char fresh[16] = {};
    if (text.size() <= kInlineMax) {
        std::memcpy(fresh, text.data(), text.size());
        fresh[15] = static_cast<char>(text.size());
    } else {
        const std::size_t size = text.size();
        char *block = new char[sizeof size + size];
        std::memcpy(block, &size, sizeof size);
        std::memcpy(block + sizeof size, text.data(), size);
        std::memcpy(fresh, &block, sizeof block);
        fresh[15] = static_cast<char>(kHeap);
    }
    release();
    std::memcpy(bytes_, fresh, sizeof bytes_);
}

void ShortText::reset() noexcept {
    release();
    bytes_[15] = static_cast<char>(kAbsent);
}

void ShortText::release() noexcept {
    if (tag() == kHeap)
        delete[] heapBlock();
}

ShortText::ShortText(const ShortText &other) {
    bytes_[15] = static_cast<char>(kAbsent);
    if (other.has())
        assign(other.view());
}

ShortText::ShortText(ShortText &&other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.bytes_[15] = static_cast<char>(kAbsent);
}

ShortText &ShortText::operator=(const ShortText &other) {
    if (this == &other)
        return *this;
    if (other.has())
        assign(other.view());
    else
        reset();
    return *this;
}

ShortText &ShortText::operator=(ShortText &&other) noexcept {
    if (this == &other)
        return *this;
    release();
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.bytes_[15] = static_cast<char>(kAbsent);
    return *this;
}

} // namespace pelorin
