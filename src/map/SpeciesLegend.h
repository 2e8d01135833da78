#pragma once

#include "map/LegendEntry.h"

#include <QListWidget>

namespace pelorin {

// The map's legend: one checkable entry per species in its pins' colour;
// unchecking an entry hides the species' pins.
class SpeciesLegend : public QListWidget {
    Q_OBJECT
public:
    explicit SpeciesLegend(QWidget *parent = nullptr);

    void setEntries(const QList<LegendEntry> &entries);
    // The entry of a species ("" for none), or nullptr.
    QListWidgetItem *entry(const QString &species) const;

signals:
    void speciesToggled(const QString &species, bool visible);
};

} // namespace pelorin
