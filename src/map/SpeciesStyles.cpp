#include "map/SpeciesStyles.h"

#include "documents/SpeciesPalette.h"

#include <algorithm>
#include <string>
#include <vector>

namespace pelorin {

namespace {
const QColor kWaypointFill(0x33, 0x33, 0x33);

QColor rgb(std::uint32_t value) {
    return QColor::fromRgb(QRgb(value));
}
} // namespace

void SpeciesStyles::add(const KmlPlace &place) {
    if (place.kind != PlaceKind::Recording)
        return;
    auto &[list, count] = lists_[{place.species.constData(), place.species.size()}];
    if (count++ == 0)
        list = place.species;
    const QString lead = place.species.isEmpty() ? QString() : place.species.front();
    if (place.color)
        colors_.emplace(lead, *place.color); // the first one stays
}

void SpeciesStyles::finish() {
    std::vector<std::string> named;
    for (const auto &[key, counted] : lists_) {
        const auto &[list, count] = counted;
        if (list.isEmpty())
            counts_[QString()] += count;
        for (const QString &one : list) {
            int &total = counts_[one];
            if (total == 0)
                named.push_back(one.toStdString());
            total += count;
        }
    }
    lists_.clear();
    const SpeciesColours colours(std::move(named));
    for (std::size_t i = 0; i < colours.names().size(); ++i) {
        const QString name = QString::fromStdString(colours.names()[i]);
        colors_.emplace(name, rgb(colours.colour(i)));
    }
    colors_.emplace(QString(), rgb(kNoSpeciesColour));
}

void SpeciesStyles::clear() {
    colors_.clear();
    counts_.clear();
    hidden_.clear();
    lists_.clear();
}

QList<LegendEntry> SpeciesStyles::legend() const {
    QList<LegendEntry> entries;
    for (auto it = counts_.cbegin(); it != counts_.cend(); ++it)
        entries.append({it.key(), colorOf(it.key()), it.value(), !hidden_.contains(it.key())});
    std::sort(entries.begin(), entries.end(), [](const LegendEntry &a, const LegendEntry &b) {
        if (a.species.isEmpty() != b.species.isEmpty())
            return b.species.isEmpty();
        return a.species < b.species;
    });
    return entries;
}

void SpeciesStyles::setVisible(const QString &species, bool visible) {
    if (visible)
        hidden_.remove(species);
    else
        hidden_.insert(species);
}

QColor SpeciesStyles::colorOf(const QString &species) const {
    const auto found = colors_.find(species);
    return found != colors_.end() ? found->second : QColor();
}

bool SpeciesStyles::isShown(const KmlPlace &place) const {
    if (place.kind == PlaceKind::Waypoint || hidden_.isEmpty())
        return true;
    if (place.species.isEmpty())
        return !hidden_.contains(QString());
    return std::any_of(place.species.cbegin(), place.species.cend(),
                       [this](const QString &species) { return !hidden_.contains(species); });
}

QColor SpeciesStyles::pinColor(const KmlPlace &place) const {
    if (place.kind == PlaceKind::Waypoint)
        return kWaypointFill;
    if (hidden_.isEmpty())
        return colorOf(place.species.isEmpty() ? QString() : place.species.front());
    for (const QString &species : place.species)
        if (!hidden_.contains(species))
            return colorOf(species);
    return colorOf(QString());
}

} // namespace pelorin
