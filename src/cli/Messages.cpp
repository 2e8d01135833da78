#include "cli/Messages.h"

#include <ostream>

namespace pelorin::cli {

namespace {

// A file name or a core message can hold a line break; the message stays one line.
void putOneLine(std::ostream &err, std::string_view text) {
    for (const char c : text)
        err << (c == '\n' || c == '\r' ? ' ' : c);
}

} // namespace

void say(std::ostream &err, std::string_view message) {
    err << "pelorin: ";
    putOneLine(err, message);
    err << '\n';
}

void say(std::ostream &err, const Place &place, std::string_view message) {
    if (place.file.empty())
        return say(err, message);
    for (const std::string &named :
         {"\"" + std::string(place.file) + "\": ", std::string(place.file) + ": "}) {
        if (message.starts_with(named)) {
            message.remove_prefix(named.size());
            break;
        }
    }
    if (message.find(place.file) != std::string_view::npos)
        return say(err, message);
    err << "pelorin: ";
    putOneLine(err, place.file);
    if (place.line > 0) {
        err << ':' << place.line;
        if (place.column > 0)
            err << ':' << place.column;
    }
    err << ": ";
    putOneLine(err, message);
    err << '\n';
}

std::string noTimeOverlap(std::string_view why) {
    return "no time overlap: " + std::string(why);
}

std::string noWavFilesUnder(std::string_view folder, std::size_t skipped) {
    std::string text = "no WAV files found under " + std::string(folder);
    if (skipped > 0)
        text += " that give a start time (" + std::to_string(skipped) + " skipped)";
    return text;
}

std::string usageHint(std::string_view error) {
    return std::string(error) + " (try 'pelorin --help')";
}

} // namespace pelorin::cli
