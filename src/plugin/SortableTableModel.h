#pragma once

#include <QAbstractTableModel>

namespace pelorin {

// A table model that compares its rows itself, on the native values rather
// than on display texts, so sorting a long list stays quick.
class SortableTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Whether row a sorts before row b by column.
    virtual bool rowLessThan(int a, int b, int column) const = 0;
};

} // namespace pelorin
