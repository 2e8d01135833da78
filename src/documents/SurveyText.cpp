#include "documents/SurveyText.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <ctime>

namespace pelorin {

namespace {

std::optional<double> elevationValue(std::optional<std::string_view> text) {
    if (!text || text->empty())
        return std::nullopt;
    std::string_view number = *text;
    if (number.front() == '+')
        number.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// -?(0|[1-9][0-9]*)(\.[0-9]+)?: a number JSON, GPX and KML all read as written.
bool isPlainDecimal(std::string_view text) noexcept {
    std::size_t i = text.starts_with('-') ? 1 : 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        return i - start;
    };
    const std::size_t whole = i;
    const std::size_t wholeDigits = digits();
    if (wholeDigits == 0 || (wholeDigits > 1 && text[whole] == '0'))
        return false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (digits() == 0)
            return false;
    }
    return i == text.size();
}

} // namespace

bool appendElevation(std::string &out, std::optional<std::string_view> text) {
    if (text && isPlainDecimal(*text)) {
        out.append(*text); // the common case: copied, not read and printed again
        return true;
    }
    if (const std::optional<double> value = elevationValue(text)) {
        appendDecimal(out, *value, 3);
        return true;
    }
    return false;
}

std::string waypointName(const TrackPoint &point, std::size_t number) {
    if (const auto name = point.attribute("name"); name && !name->empty())
        return std::string(*name);
    return "Waypoint " + std::to_string(number);
}

std::string notPlacedText(const SurveyDocument &survey) {
    std::string lines;
    std::size_t count = 0;
    for (std::size_t i = 0; i < survey.recordings.size() && i < survey.placements.size(); ++i) {
        if (survey.placements[i].placed())
            continue;
        ++count;
        lines.append(survey.recordings[i].filename).append(": ");
        lines.append(placementStatusName(survey.placements[i].status)).append("\n");
    }
    if (count == 0)
        return {};
    lines.pop_back();
    return "Not placed (" + std::to_string(count) + (count == 1 ? " recording" : " recordings") + "):\n" +
           lines;
}

std::string surveyDescription(const SurveyDocument &survey) {
    std::string text = survey.description;
    if (const std::string notPlaced = notPlacedText(survey); !notPlaced.empty())
        text.append(text.empty() ? "" : "\n\n").append(notPlaced);
    return text;
}

} // namespace pelorin
