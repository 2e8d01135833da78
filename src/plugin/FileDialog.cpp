#include "plugin/FileDialog.h"

#include <QGridLayout>
#include <QLabel>

#include <algorithm>
#include <vector>

namespace pelorin {

namespace {
// Qt's dialog lays itself out in one grid; the message takes a new top row
// across all columns.
void insertTopRow(QGridLayout *grid, QWidget *widget) {
    struct Placed {
        QLayoutItem *item;
        int row, column, rowSpan, columnSpan;
    };
    std::vector<Placed> placed;
    std::vector<int> stretch;
    for (int r = 0; r < grid->rowCount(); ++r)
        stretch.push_back(grid->rowStretch(r));
    int columns = 1;
    while (grid->count() > 0) {
        Placed p{};
        grid->getItemPosition(0, &p.row, &p.column, &p.rowSpan, &p.columnSpan);
        p.item = grid->takeAt(0);
        columns = std::max(columns, p.column + p.columnSpan);
        placed.push_back(p);
    }
    grid->addWidget(widget, 0, 0, 1, columns);
    for (const Placed &p : placed) {
        if (QLayout *layout = p.item->layout())
            grid->addLayout(layout, p.row + 1, p.column, p.rowSpan, p.columnSpan);
        else
            grid->addItem(p.item, p.row + 1, p.column, p.rowSpan, p.columnSpan);
    }
    grid->setRowStretch(0, 0);
    for (std::size_t r = 0; r < stretch.size(); ++r)
        grid->setRowStretch(static_cast<int>(r) + 1, stretch[r]);
}
} // namespace

FileDialog::FileDialog(QWidget *parent)
    : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog, true);
}

void FileDialog::setMessage(const QString &message) {
    if (!message_) {
        message_ = new QLabel(this);
        message_->setObjectName(QStringLiteral("dialogMessage"));
        message_->setWordWrap(true);
        if (auto *grid = qobject_cast<QGridLayout *>(layout()))
            insertTopRow(grid, message_);
        else if (layout())
            layout()->addWidget(message_);
    }
    message_->setText(message);
}

QString FileDialog::message() const {
    return message_ ? message_->text() : QString();
}

void FileDialog::setItemFilter(ItemFilterProxy::Predicate isEnabled) {
    isEnabled_ = isEnabled;
    setProxyModel(new ItemFilterProxy(std::move(isEnabled), this));
}

void FileDialog::accept() {
    if (isEnabled_) {
        const QStringList files = selectedFiles();
        for (const QString &file : files) {
            if (!isEnabled_(file))
                return;
        }
    }
    QFileDialog::accept();
}

} // namespace pelorin
