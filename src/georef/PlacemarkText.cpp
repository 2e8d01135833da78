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

    const auto seconds = std::chrono::floor<std::chrono::seconds>(recording.recordingTime);
    char clock[9] = "00:00:00"; // "%H:%M:%S", written directly: strftime is the slow part here
    if (const std::optional<std::chrono::seconds> offset = offsets.at(seconds)) {
        const std::chrono::sys_seconds local = seconds + *offset;
        const std::chrono::hh_mm_ss time(local - std::chrono::floor<std::chrono::days>(local));
        const long long fields[3] = {time.hours().count(), time.minutes().count(), time.seconds().count()};
        for (int i = 0; i < 3; ++i) {
            clock[3 * i] = static_cast<char>('0' + fields[i] / 10 % 10);
            clock[3 * i + 1] = static_cast<char>('0' + fields[i] % 10);
        }
    }

    std::string text;
    text.reserve(name.size() + 20);
    text.append("File ").append(name).append("\nTime ").append(clock, 8);
    return text;
}

std::string placemarkDescription(const Recording &recording) {
    UtcOffsets offsets;
    return placemarkDescription(recording, offsets);
}

} // namespace pelorin
