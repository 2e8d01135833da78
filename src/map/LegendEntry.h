#pragma once

#include <QColor>
#include <QString>

namespace pelorin {

// A species in the map's legend; "" stands for recordings without one.
struct LegendEntry {
    QString species;
    QColor color;
    int count = 0;
    bool visible = true;
};

} // namespace pelorin
