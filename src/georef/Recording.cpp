#include "georef/Recording.h"

namespace pelorin {

std::string_view startTimeSourceName(StartTimeSource source) {
    switch (source) {
    case StartTimeSource::Catalogue:
        return "catalogue";
    case StartTimeSource::Guano:
        return "GUANO";
    case StartTimeSource::Wamd:
        return "wamd";
    case StartTimeSource::AudioMothComment:
        return "AudioMoth comment";
    case StartTimeSource::Bext:
        return "bext";
    case StartTimeSource::FileName:
        return "file name";
    case StartTimeSource::ModificationTime:
        return "modification time";
    case StartTimeSource::None:
        break;
    }
    return "";
}

} // namespace pelorin
