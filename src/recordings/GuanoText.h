#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The text of a `guan` chunk as lines, for editing a few fields while every
// other line (unknown namespaces, malformed lines, blank lines) stays as read.
class GuanoText {
public:
    GuanoText() = default;
    // Whitespace and NULs after the last newline are the chunk's padding, not a line.
    explicit GuanoText(std::string_view chunkBody);

    // The value of the first line whose key (before the first ':', trimmed) is key, trimmed.
    std::optional<std::string> value(std::string_view key) const;
    // Replaces every line with that key (the format forbids duplicates; none may
    // keep a stale value), or appends one.
    void set(std::string_view key, std::string_view value);
    void erase(std::string_view key);

    const std::vector<std::string> &lines() const { return lines_; }
    // Every line ended by a newline.
    std::string text() const;

private:
    std::vector<std::string> lines_;
};

} // namespace pelorin
