#pragma once

#include "framework/HostPlacement.h"
#include "framework/HostRecording.h"
#include "host/TableRecording.h"

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
    void appendRecordings(QList<TableRecording> rows);
    int recordingCount() const;
    // Whether a row was read from the file at this absolute path.
    bool holdsFile(const QString &path) const;
    // Every recording in the order the table shows them.
    QList<HostRecording> allRecordings() const;
    // The selected recordings in the order the table shows them.
    QList<HostRecording> selectedRecordings() const;
    // Selects the rows of these files (a name matches with or without its
    // extension), scrolled into view; other rows are deselected.
    void selectFiles(const QStringList &files);
    // Rows read again from their files take the place of the old ones.
    void replaceFileRows(const QList<TableRecording> &rows);
    // A plug-in's placements, shown beside the recordings they name.
    void showPlacements(const QList<HostPlacement> &placements);

private:
    RecordingsTableModel *model_;
    RecordingsSortModel *sortModel_;
};

} // namespace pelorin
