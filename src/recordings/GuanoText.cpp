#include "recordings/GuanoText.h"

#include "text/Blank.h"

#include <algorithm>

namespace pelorin {

namespace {

std::optional<std::string_view> keyOf(std::string_view line) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    return trimmed(line.substr(0, colon));
}

} // namespace

GuanoText::GuanoText(std::string_view chunkBody) {
    const auto lastNewline = chunkBody.rfind('\n');
    const auto tail = lastNewline == std::string_view::npos ? chunkBody : chunkBody.substr(lastNewline + 1);
    if (trimmed(tail).empty())
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
            return std::string(trimmed(std::string_view(line).substr(line.find(':') + 1)));
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
