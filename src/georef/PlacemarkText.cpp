#include "georef/PlacemarkText.h"

#include <chrono>
#include <optional>
#include <string_view>

namespace pelorin {

std::string placemarkName(const std::vector<std::string> &species) {
    if (species.empty())
        return "No species";
    std::string text;
    for (const std::string &abbreviation : species) {
        text += abbreviation;
        text += ',';
    }
    text.pop_back();
    return text;
}

std::string placemarkDescription(const Recording &recording, UtcOffsets &offsets) {
    std::string_view name = recording.filename;
    const std::size_t componentStart = name.rfind('/') == std::string_view::npos ? 0 : name.rfind('/') + 1;
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > componentStart)
        name = name.substr(0, dot);

    std::string text;
    text.reserve(name.size() + 20);
    text.append("File ").append(name).append("\nTime ");
    const auto seconds = std::chrono::floor<std::chrono::seconds>(recording.recordingTime);
    if (const std::optional<std::chrono::seconds> offset = offsets.at(seconds)) {
        const std::chrono::sys_seconds local = seconds + *offset;
        appendClockText(text, local - std::chrono::floor<std::chrono::days>(local));
    } else {
        text.append("00:00:00");
    }
    return text;
}

std::string placemarkDescription(const Recording &recording) {
    UtcOffsets offsets;
    return placemarkDescription(recording, offsets);
}

} // namespace pelorin
