#include "plugin/RecordingsArrayController.h"

#include "plugin/RecordingTableModel.h"

#include <QSortFilterProxyModel>

namespace pelorin {

namespace {
QList<HostRecording> pick(const QList<HostRecording> &all, const std::vector<std::uint32_t> &rows) {
    QList<HostRecording> out;
    out.reserve(static_cast<qsizetype>(rows.size()));
    for (std::uint32_t row : rows)
        out.push_back(all[static_cast<qsizetype>(row)]);
    return out;
}
} // namespace

RecordingsArrayController::RecordingsArrayController(QObject *parent)
    : ArrayController(new RecordingTableModel, parent)
    , model_(static_cast<RecordingTableModel *>(proxy()->sourceModel())) {}

void RecordingsArrayController::setContent(QList<HostRecording> recordings) {
    model_->setRecordings(std::move(recordings));
}

const QList<HostRecording> &RecordingsArrayController::content() const {
    return model_->recordings();
}

QList<HostRecording> RecordingsArrayController::arrangedObjects() const {
    return pick(content(), arrangedRows());
}

std::optional<QList<HostRecording>> RecordingsArrayController::selectedObjects() const {
    const auto rows = selectedRows();
    if (!rows)
        return std::nullopt;
    return pick(content(), *rows);
}

void RecordingsArrayController::setArrangedPlacements(const std::vector<Placement> &placements) {
    const std::vector<std::uint32_t> rows = arrangedRows();
    std::vector<std::optional<Placement>> byRow(static_cast<std::size_t>(content().size()));
    for (std::size_t i = 0; i < rows.size() && i < placements.size(); ++i)
        byRow[rows[i]] = placements[i];
    model_->setPlacements(std::move(byRow));
}

} // namespace pelorin
