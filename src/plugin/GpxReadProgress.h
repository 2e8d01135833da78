#pragma once

#include "gpx/GpxReader.h"

#include <QElapsedTimer>
#include <QPointer>

#include <memory>

class QProgressDialog;
class QWidget;

namespace pelorin {

// Progress of one GPX read for people: a read that takes longer than half a
// second gets a progress dialog with a Cancel button, fed by the bytes read.
// The event loop keeps turning meanwhile so the dialog paints and answers.
class GpxReadProgress {
public:
    explicit GpxReadProgress(QWidget *parent);
    ~GpxReadProgress();
    GpxReadProgress(const GpxReadProgress &) = delete;
    GpxReadProgress &operator=(const GpxReadProgress &) = delete;

    // The reader's callback; false once the user has cancelled.
    GpxProgress callback();

private:
    bool update(std::uint64_t bytesRead, std::uint64_t totalBytes);

    QPointer<QWidget> parent_;
    QElapsedTimer clock_;
    QElapsedTimer sincePump_;
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace pelorin
