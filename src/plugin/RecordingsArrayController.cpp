#include "plugin/RecordingsArrayController.h"

#include "framework/RecordingValue.h"
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

std::vector<Recording> RecordingsArrayController::arrangedRecordings() const {
    const QList<HostRecording> &all = content();
    std::vector<Recording> out;
    const std::vector<std::uint32_t> rows = arrangedRows();
    out.reserve(rows.size());
    for (const std::uint32_t row : rows)
        out.push_back(toRecording(all[static_cast<qsizetype>(row)]));
    return out;
}

void RecordingsArrayController::setArrangedPlacements(const std::vector<Placement> &placements) {
    model_->setPlacements(placements, arrangedRows());
}

} // namespace pelorin
