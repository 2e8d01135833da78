#pragma once

#include "framework/HostRecording.h"

#include <QList>
#include <QTableView>

namespace pelorin {

class RecordingsSortModel;
class RecordingsTableModel;

// The main window's recordings table: sortable columns, rows selected in
// any combination.
class RecordingsTableView : public QTableView {
    Q_OBJECT
public:
    explicit RecordingsTableView(QWidget *parent = nullptr);

    void setRecordings(QList<HostRecording> recordings);
    int recordingCount() const;
    // The selected recordings in the order the table shows them.
    QList<HostRecording> selectedRecordings() const;

private:
    RecordingsTableModel *model_;
    RecordingsSortModel *sortModel_;
};

} // namespace pelorin
