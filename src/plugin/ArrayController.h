#pragma once

#include "plugin/SortableTableModel.h"

#include <QObject>
#include <QPointer>
#include <QTableView>

#include <cstdint>
#include <optional>
#include <vector>

class QSortFilterProxyModel;

namespace pelorin {

// A list controller: the content lives in the model; the arrangement is the
// order the table shows after the user sorts a column (a proxy over the
// model); the selection is the table's. Rows here are the model's rows.
class ArrayController : public QObject {
public:
    // Takes ownership of model.
    explicit ArrayController(SortableTableModel *model, QObject *parent = nullptr);

    // Shows the arranged content in view and takes the selection from it.
    void bind(QTableView *view);
    QTableView *view() const { return view_; }
    QSortFilterProxyModel *proxy() const { return proxy_; }

    // Whether the user has sorted the table (else the order is the content's).
    bool isArranged() const;
    // Model rows in the order shown.
    std::vector<std::uint32_t> arrangedRows() const;
    // Selected model rows in the order shown; nullopt while no table is bound.
    std::optional<std::vector<std::uint32_t>> selectedRows() const;

private:
    QSortFilterProxyModel *proxy_;
    QPointer<QTableView> view_;
};

} // namespace pelorin
