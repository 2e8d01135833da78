#include "documents/DocumentFormat.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace pelorin {

OutputFormat formatOfPath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos)
        return OutputFormat::Kml;
    std::string extension(path.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "geojson" || extension == "json")
        return OutputFormat::GeoJson;
    return extension == "gpx" ? OutputFormat::Gpx : OutputFormat::Kml;
}

std::string_view formatName(OutputFormat format) {
    switch (format) {
    case OutputFormat::GeoJson:
        return "GeoJSON";
    case OutputFormat::Gpx:
        return "GPX";
    case OutputFormat::Kml:
        break;
    }
    return "KML";
}

} // namespace pelorin
