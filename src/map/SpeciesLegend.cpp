#include "map/SpeciesLegend.h"

#include <QPainter>
#include <QPixmap>

namespace pelorin {

namespace {
constexpr int kSwatch = 12;

QIcon swatch(const QColor &color) {
    QPixmap pixmap(kSwatch, kSwatch);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(color);
    painter.drawEllipse(QRectF(0.5, 0.5, kSwatch - 1, kSwatch - 1));
    return QIcon(pixmap);
}
} // namespace

SpeciesLegend::SpeciesLegend(QWidget *parent)
    : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::NoSelection);
    setToolTip(tr("Untick a species to hide its recordings"));
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        emit speciesToggled(item->data(Qt::UserRole).toString(), item->checkState() == Qt::Checked);
    });
}

void SpeciesLegend::setEntries(const QList<LegendEntry> &entries) {
    const QSignalBlocker blocker(this);
    clear();
    for (const LegendEntry &entry : entries) {
        const QString name = entry.species.isEmpty() ? tr("No species") : entry.species;
        auto *item = new QListWidgetItem(swatch(entry.color),
                                         QStringLiteral("%1 (%2)").arg(name).arg(entry.count), this);
        item->setData(Qt::UserRole, entry.species);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.visible ? Qt::Checked : Qt::Unchecked);
    }
}

QListWidgetItem *SpeciesLegend::entry(const QString &species) const {
    for (int row = 0; row < count(); ++row)
        if (item(row)->data(Qt::UserRole).toString() == species)
            return item(row);
    return nullptr;
}

} // namespace pelorin
