#include "recordings/GuanoText.h"

#include <algorithm>

namespace pelorin {

namespace {

// The format counts NUL among the whitespace a reader trims.
constexpr std::string_view kBlanks{" \t\r\n\0", 5};

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

std::optional<std::string_view> keyOf(std::string_view line) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    return trim(line.substr(0, colon));
}

} // namespace

GuanoText::GuanoText(std::string_view chunkBody) {
    const auto lastNewline = chunkBody.rfind('\n');
    const auto tail = lastNewline == std::string_view::npos ? chunkBody : chunkBody.substr(lastNewline + 1);
    if (tail.find_first_not_of(kBlanks) == std::string_view::npos)
        chunkBody.remove_suffix(tail.size());
    while (!chunkBody.empty()) {
        const auto eol = chunkBody.find('\n');
        lines_.emplace_back(chunkBody.substr(0, eol));
        chunkBody = eol == std::string_view::npos ? std::string_view() : chunkBody.substr(eol + 1);
    }
}

std::optional<std::string> GuanoText::value(std::string_view key) const {
    for (const std::string &line : lines_) {
        if (keyOf(line) == key)
            return std::string(trim(std::string_view(line).substr(line.find(':') + 1)));
    }
    return std::nullopt;
}

void GuanoText::set(std::string_view key, std::string_view value) {
    std::string line = std::string(key) + ": " + std::string(value);
    bool found = false;
    for (std::string &existing : lines_) {
        if (keyOf(existing) == key) {
            existing = line;
            found = true;
        }
    }
    if (!found)
        lines_.push_back(std::move(line));
}

void GuanoText::erase(std::string_view key) {
    std::erase_if(lines_, [key](const std::string &line) { return keyOf(line) == key; });
}

std::string GuanoText::text() const {
    std::string text;
    for (const std::string &line : lines_)
        text.append(line).push_back('\n');
    return text;
}

} // namespace pelorin
