#include "plugin/ItemFilterProxy.h"

#include <QFileSystemModel>

namespace pelorin {

ItemFilterProxy::ItemFilterProxy(Predicate isEnabled, QObject *parent)
    : QSortFilterProxyModel(parent)
    , isEnabled_(std::move(isEnabled)) {}

Qt::ItemFlags ItemFilterProxy::flags(const QModelIndex &index) const {
    Qt::ItemFlags flags = QSortFilterProxyModel::flags(index);
    if (!index.isValid() || !isEnabled_)
        return flags;
    const QString path = data(index, QFileSystemModel::FilePathRole).toString();
    if (!path.isEmpty() && !isEnabled_(path))
        flags &= ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return flags;
}

} // namespace pelorin
