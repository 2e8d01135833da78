#include "plugin/ArrayController.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSortFilterProxyModel>
#include <QTableView>

#include <algorithm>
#include <numeric>

namespace pelorin {

namespace {
class RowOrderProxy : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override {
        const auto *model = static_cast<const SortableTableModel *>(sourceModel());
        return model->rowLessThan(left.row(), right.row(), left.column());
    }
};
} // namespace

ArrayController::ArrayController(SortableTableModel *model, QObject *parent)
    : QObject(parent)
    , proxy_(new RowOrderProxy(this)) {
    model->setParent(this);
    proxy_->setSourceModel(model);
}

void ArrayController::bind(QTableView *view) {
    view_ = view;
    view->setModel(proxy_);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Long lists: one line per row, fixed heights, nothing measured per row.
    view->setWordWrap(false);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setSortingEnabled(true);
    // Enabling sorting sorts by the header's indicator; start in content order,
    // and let a third click on a header return to it.
    view->horizontalHeader()->setSortIndicatorClearable(true);
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    proxy_->sort(-1);
}

bool ArrayController::isArranged() const {
    return proxy_->sortColumn() >= 0;
}

std::vector<std::uint32_t> ArrayController::arrangedRows() const {
    const int rows = proxy_->rowCount();
    std::vector<std::uint32_t> order(static_cast<std::size_t>(rows));
    if (!isArranged()) {
        std::iota(order.begin(), order.end(), 0u);
        return order;
    }
    for (int r = 0; r < rows; ++r)
        order[static_cast<std::size_t>(r)] =
            static_cast<std::uint32_t>(proxy_->mapToSource(proxy_->index(r, 0)).row());
    return order;
}

std::optional<std::vector<std::uint32_t>> ArrayController::selectedRows() const {
    if (!view_ || !view_->selectionModel())
        return std::nullopt;
    QModelIndexList shown = view_->selectionModel()->selectedRows();
    std::sort(shown.begin(), shown.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    std::vector<std::uint32_t> rows;
    rows.reserve(static_cast<std::size_t>(shown.size()));
    for (const QModelIndex &index : shown)
        rows.push_back(static_cast<std::uint32_t>(proxy_->mapToSource(index).row()));
    return rows;
}

} // namespace pelorin
