// Bytes into one of the map's readers: the KML reader, or the GeoJSON reader
// when built with PELORIN_FUZZ_GEOJSON. A read gives a drawable document on
// the globe and no error, or an error and no document; a KML read in pieces
// of any size reads as the whole or fails as it does.
#include "FuzzCheck.h"
#include "map/GeoJsonReader.h"
#include "map/KmlReader.h"

#include <QBuffer>

#include <algorithm>

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

bool onTheGlobe(pelorin::GeoPoint point) {
    return std::abs(point.lat) <= 90 && std::abs(point.lon) <= 180;
}

void checkResult(const pelorin::KmlReadResult &result) {
    const pelorin::KmlDocument &document = result.document;
    if (!result.ok()) {
        PELORIN_FUZZ_CHECK(document.tracks.empty() && document.places.empty() && document.name.isEmpty());
        return;
    }
    bool drawable = !document.places.empty();
    for (const pelorin::KmlTrack &track : document.tracks) {
        PELORIN_FUZZ_CHECK(track.width > 0 && track.color.isValid());
        for (const pelorin::GeoPoint &point : track.points)
            PELORIN_FUZZ_CHECK(onTheGlobe(point));
        drawable = drawable || !track.points.empty();
    }
    for (const pelorin::KmlPlace &place : document.places)
        PELORIN_FUZZ_CHECK(onTheGlobe(place.position));
    PELORIN_FUZZ_CHECK(drawable);
}

#ifndef PELORIN_FUZZ_GEOJSON
// A device that hands out at most `piece` bytes a read, as a pipe or a slow disk may.
class PieceDevice : public QBuffer {
public:
    explicit PieceDevice(qint64 piece)
        : piece_(piece) {}

protected:
    qint64 readData(char *data, qint64 size) override {
        return QBuffer::readData(data, std::min(size, piece_));
    }

private:
    qint64 piece_;
};
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
#ifdef PELORIN_FUZZ_GEOJSON
    checkResult(pelorin::parseGeoJson(bytes));
#else
    const pelorin::KmlReadResult whole = pelorin::parseKml(bytes);
    checkResult(whole);
    // The first byte picks the piece size.
    PieceDevice device(size > 0 ? 1 + data[0] % 64 : 1);
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    const pelorin::KmlReadResult pieces = pelorin::parseKml(device);
    // expat may word an error in bytes that are no text otherwise when it sees them a few at a time.
    PELORIN_FUZZ_CHECK(pieces.ok() == whole.ok());
    PELORIN_FUZZ_CHECK(pieces.document.places.size() == whole.document.places.size());
    PELORIN_FUZZ_CHECK(pieces.document.tracks.size() == whole.document.tracks.size());
#endif
    return 0;
}
