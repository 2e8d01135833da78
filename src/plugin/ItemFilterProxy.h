#pragma once

#include <QSortFilterProxyModel>

#include <functional>

namespace pelorin {

// A proxy over a file-system model that lists every item but disables those
// the predicate refuses (greyed, neither selectable nor enterable).
class ItemFilterProxy : public QSortFilterProxyModel {
public:
    using Predicate = std::function<bool(const QString &path)>;

    explicit ItemFilterProxy(Predicate isEnabled, QObject *parent = nullptr);

    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    Predicate isEnabled_;
};

} // namespace pelorin
