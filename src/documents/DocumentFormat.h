#pragma once

#include <string_view>

namespace pelorin {

// The kinds of document Pelorin writes.
enum class OutputFormat { Kml, GeoJson, Gpx };

// A KML document's: the plain one of placemarks, or the survey's folders and fields.
enum class KmlStyle { Plain, Survey };

// "KML", "GeoJSON", "GPX", as messages name them.
std::string_view formatName(OutputFormat format);

// The format a file name's extension asks for: .geojson and .json GeoJSON,
// .gpx GPX, any other (and standard output) KML, as before there was a choice,
// so existing scripts writing "out.xml" keep working.
OutputFormat formatOfPath(std::string_view path);

} // namespace pelorin
