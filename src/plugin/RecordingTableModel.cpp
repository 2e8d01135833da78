#include "plugin/RecordingTableModel.h"

#include "framework/RecordingValue.h"
#include "georef/PlacemarkText.h"
#include "util/NumericalCompare.h"

#include <QBrush>
#include <QColor>
#include <QDateTime>

#include <cmath>
#include <map>
#include <string>

namespace pelorin {

namespace {

// "interpolated, 22:14:29 UTC, ±7 m": what the pass made of it, when and how sure.
template <typename Shown> QString placementText(const Shown &placement) {
    const qint64 ms = placement.correctedTime.time_since_epoch().count();
    QString text = QString::fromUtf8(placementStatusName(placement.status).data());
    if (placement.status != PlacementStatus::NoTime)
        text += QStringLiteral(", ") +
                QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(QStringLiteral("HH:mm:ss 'UTC'"));
    if (placement.placed())
        text += QStringLiteral(", \u00B1%1 m").arg(std::lround(placement.uncertaintyMetres));
    return text;
}

} // namespace

void RecordingTableModel::setRecordings(QList<HostRecording> recordings) {
    beginResetModel();
    recordings_ = std::move(recordings);
    species_.clear();
    species_.reserve(recordings_.size());
    placements_.clear();
    // A season's recordings share a few species' lists: one text each.
    std::map<std::string, QString> names;
    for (const HostRecording &recording : recordings_) {
        const std::string name = placemarkName(speciesAbbreviations(recording));
        auto found = names.find(name);
        if (found == names.end())
            found = names.emplace(name, QString::fromStdString(name)).first;
        species_.push_back(found->second);
    }
    endResetModel();
}

void RecordingTableModel::setPlacements(const std::vector<Placement> &placements,
                                        const std::vector<std::uint32_t> &rows) {
    placements_.assign(static_cast<std::size_t>(recordings_.size()), std::nullopt);
    for (std::size_t i = 0; i < rows.size() && i < placements.size(); ++i)
        placements_[rows[i]] =
            Shown{placements[i].status, placements[i].correctedTime, placements[i].uncertaintyMetres};
    if (!recordings_.isEmpty())
        emit dataChanged(index(0, PlacementColumn), index(rowCount() - 1, PlacementColumn));
}

int RecordingTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(recordings_.size());
}

int RecordingTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RecordingTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const std::size_t row = static_cast<std::size_t>(index.row());
    const std::optional<Shown> *placement = row < placements_.size() ? &placements_[row] : nullptr;
    if (role == Qt::ForegroundRole && index.column() == PlacementColumn && placement && *placement)
        return QBrush((*placement)->placed() ? QColor(0x1B, 0x7A, 0x2E) : QColor(0xB0, 0x1C, 0x1C));
    if (role != Qt::DisplayRole)
        return {};
    const HostRecording &recording = recordings_[index.row()];
    switch (index.column()) {
    case FileColumn:
        return recording.filename();
    case TimeColumn:
        return recording.recordingTime().toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss t"));
    case SpeciesColumn:
        return species_[index.row()];
    case PlacementColumn:
        return placement && *placement ? placementText(**placement) : QVariant();
    default:
        return {};
    }
}

QVariant RecordingTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return SortableTableModel::headerData(section, orientation, role);
    switch (section) {
    case FileColumn:
        return QStringLiteral("File");
    case TimeColumn:
        return QStringLiteral("Start time");
    case SpeciesColumn:
        return QStringLiteral("Species");
    case PlacementColumn:
        return QStringLiteral("Placement");
    default:
        return {};
    }
}

bool RecordingTableModel::rowLessThan(int a, int b, int column) const {
    switch (column) {
    case FileColumn:
        return numericalCompare(recordings_[a].filename(), recordings_[b].filename()) < 0;
    case TimeColumn:
        return recordings_[a].recordingTime() < recordings_[b].recordingTime();
    case SpeciesColumn:
        return numericalCompare(species_[a], species_[b]) < 0;
    case PlacementColumn: {
        // Not placed first: they are what the user looks for.
        const auto rank = [this](int row) {
            const std::size_t r = static_cast<std::size_t>(row);
            return r < placements_.size() && placements_[r] ? static_cast<int>(placements_[r]->placed()) : 2;
        };
        return rank(a) < rank(b);
    }
    default:
        return a < b;
    }
}

} // namespace pelorin
