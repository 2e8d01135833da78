#include "kml/SurveyText.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <ctime>

namespace pelorin {

namespace {

void appendDigits(std::string &out, long long value, int width) {
    char digits[24];
    int n = 0;
    for (unsigned long long v = static_cast<unsigned long long>(value < 0 ? -value : value); n < width || v;
         v /= 10)
        digits[n++] = static_cast<char>('0' + v % 10);
    while (n > 0)
        out += digits[--n];
}

// "YYYY-MM-DDTHH:MM:SS" of a civil date and time, ".mmm" when milliseconds are given.
void appendCivil(std::string &out, std::chrono::year_month_day date,
                 std::chrono::hh_mm_ss<std::chrono::milliseconds> time) {
    appendDigits(out, static_cast<int>(date.year()), 4);
    out += '-';
    appendDigits(out, static_cast<unsigned>(date.month()), 2);
    out += '-';
    appendDigits(out, static_cast<unsigned>(date.day()), 2);
    out += 'T';
    appendDigits(out, time.hours().count(), 2);
    out += ':';
    appendDigits(out, time.minutes().count(), 2);
    out += ':';
    appendDigits(out, time.seconds().count(), 2);
    if (time.subseconds().count() != 0) {
        out += '.';
        appendDigits(out, time.subseconds().count(), 3);
    }
}

void appendCivil(std::string &out, RecordingTime instant) {
    const auto day = std::chrono::floor<std::chrono::days>(instant);
    appendCivil(out, std::chrono::year_month_day{day}, std::chrono::hh_mm_ss{instant - day});
}

// Where the recorder's start time came from ("GUANO", "catalogue", …). The
// recording does not say yet; the field stays empty until it does.
std::string_view timeSourceText(const Recording &) {
    return {};
}

} // namespace

void appendUtcText(std::string &out, RecordingTime instant) {
    appendCivil(out, instant);
    out += 'Z';
}

void appendLocalText(std::string &out, RecordingTime instant, UtcOffsets &offsets) {
    const std::optional<std::chrono::seconds> offset =
        offsets.at(std::chrono::floor<std::chrono::seconds>(instant));
    if (!offset) {
        appendUtcText(out, instant);
        return;
    }
    appendCivil(out, instant + *offset);
    const auto minutes = std::chrono::abs(*offset).count() / 60;
    out += *offset < std::chrono::seconds(0) ? '-' : '+';
    appendDigits(out, minutes / 60, 2);
    out += ':';
    appendDigits(out, minutes % 60, 2);
}

void appendLocalText(std::string &out, RecordingTime instant) {
    UtcOffsets offsets;
    appendLocalText(out, instant, offsets);
}

void appendDecimal(std::string &out, double value, int decimals) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return;
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    if (text.find('.') != std::string_view::npos) {
        while (text.back() == '0')
            text.remove_suffix(1);
        if (text.back() == '.')
            text.remove_suffix(1);
    }
    if (text == "-0")
        text = "0";
    out.append(text);
}

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

void appendSpeciesList(std::string &out, const std::vector<std::string> &species) {
    for (std::size_t i = 0; i < species.size(); ++i)
        out.append(i == 0 ? "" : ";").append(species[i]);
}

void RecordingFields::fill(const Recording &recording, const Placement &placement) {
    text_.clear();
    std::size_t field = 0;
    const auto mark = [&](std::size_t start) { spans_[field++] = {start, text_.size() - start}; };
    std::size_t start = text_.size();
    text_ += recording.filename;
    mark(start);
    start = text_.size();
    appendSpeciesList(text_, recording.species);
    mark(start);
    start = text_.size();
    appendLocalText(text_, recording.recordingTime, offsets_);
    mark(start);
    start = text_.size();
    text_ += timeSourceText(recording);
    mark(start);
    start = text_.size();
    if (placement.status != PlacementStatus::NoTime)
        appendUtcText(text_, placement.correctedTime);
    mark(start);
    start = text_.size();
    text_ += placementStatusName(placement.status);
    mark(start);
    start = text_.size();
    if (placement.placed() && placement.elevation)
        appendDecimal(text_, *placement.elevation, 2);
    mark(start);
    const bool timed = placement.status != PlacementStatus::NoTime;
    start = text_.size();
    if (timed)
        appendDecimal(text_, placement.secondsToNearestFix, 3);
    mark(start);
    start = text_.size();
    if (timed && (placement.before && placement.after))
        appendDecimal(text_, placement.gapSeconds, 3);
    mark(start);
    start = text_.size();
    if (placement.placed())
        appendDecimal(text_, placement.uncertaintyMetres, 1);
    mark(start);
}

void RecordingFields::appendDescription(std::string &out) const {
    out.append("File ").append((*this)[0]);
    out.append("\nSpecies ").append((*this)[1].empty() ? std::string_view("none") : (*this)[1]);
    out.append("\nRecorder time ").append((*this)[2]);
    if (!(*this)[4].empty())
        out.append("\nCorrected time ").append((*this)[4]);
    out.append("\nPlacement ").append((*this)[5]);
    if (!(*this)[9].empty())
        out.append(", within ").append((*this)[9]).append(" m");
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
