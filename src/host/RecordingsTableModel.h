#pragma once

#include "framework/HostRecording.h"

#include <QAbstractTableModel>
#include <QList>

namespace pelorin {

// The host's recordings in catalogue order, one row each.
class RecordingsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { FileNameColumn, StartColumn, SpeciesColumn, ColumnCount };
    // The role that gives each column's value to sort by.
    static constexpr int SortRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void setRecordings(QList<HostRecording> recordings);
    const HostRecording &recording(int row) const { return recordings_.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<HostRecording> recordings_;
};

} // namespace pelorin
