#pragma once

#include "plugin/ItemFilterProxy.h"

#include <QFileDialog>

class QLabel;

namespace pelorin {

// Qt's own (non-native) file dialog, so that a message line and an item
// filter really apply whatever the desktop.
class FileDialog : public QFileDialog {
public:
    explicit FileDialog(QWidget *parent = nullptr);

    // A line of text above the file list.
    void setMessage(const QString &message);
    QString message() const;

    // Items the predicate refuses are listed disabled and cannot be accepted,
    // not even by typing their names.
    void setItemFilter(ItemFilterProxy::Predicate isEnabled);

    void accept() override;

private:
    QLabel *message_ = nullptr;
    ItemFilterProxy::Predicate isEnabled_;
};

} // namespace pelorin
