#pragma once

#include <QSortFilterProxyModel>

namespace pelorin {

// The recordings as the table arranges them: file names in natural order
// ("file2" before "file10"), start times by instant, species as text.
class RecordingsSortModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit RecordingsSortModel(QObject *parent = nullptr);

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;
};

} // namespace pelorin
