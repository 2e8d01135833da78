#pragma once

#include "map/KmlDocument.h"
#include "map/LegendEntry.h"
#include "util/TextHash.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <cstddef>
#include <functional>
#include <unordered_map>
#include <utility>

namespace pelorin {

// The legend's model: each species' colour, how many recordings name it and
// whether its pins show. A document's own icon colour wins for the species
// its pin leads with; the others wear the writers' palette, so a species
// looks the same on the map as in the documents they write.
class SpeciesStyles {
public:
    // Called for each of a document's places, then finish() once.
    void add(const KmlPlace &place);
    void finish();
    void clear();

    // The species, sorted, "" (no species) last.
    QList<LegendEntry> legend() const;
    void setVisible(const QString &species, bool visible);
    // A recording shows while one of its species does; a waypoint always.
    bool isShown(const KmlPlace &place) const;
    // The colour of its first species that shows.
    QColor pinColor(const KmlPlace &place) const;

private:
    // Looked up for every pin drawn: a plain hash.
    std::unordered_map<QString, QColor, PlainTextHash, std::equal_to<>> colors_;
    QColor colorOf(const QString &species) const;
    QHash<QString, int> counts_;
    QSet<QString> hidden_;
    // Places of one species share its list (the readers make one copy each): counted per list as
    // they come, and per species in finish().
    struct ListKey {
        const QString *data;
        qsizetype size;
        friend bool operator==(const ListKey &, const ListKey &) = default;
    };
    struct ListKeyHash {
        std::size_t operator()(const ListKey &key) const noexcept {
            return std::hash<const QString *>()(key.data) ^ std::hash<qsizetype>()(key.size);
        }
    };
    std::unordered_map<ListKey, std::pair<QStringList, int>, ListKeyHash> lists_;
};

} // namespace pelorin
