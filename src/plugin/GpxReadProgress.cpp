#include "plugin/GpxReadProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>

namespace pelorin {

namespace {
constexpr qint64 kShowAfterMs = 500;
constexpr qint64 kPumpEveryMs = 30;
constexpr int kSteps = 1000; // bytes may exceed an int; the bar counts per mille
} // namespace

GpxReadProgress::GpxReadProgress(QWidget *parent)
    : parent_(parent) {
    clock_.start();
    sincePump_.start();
}

// What the caller does next with a long log (filling the panel) is a freeze of
// its own: the window hears once more before it, not up to a pump's interval
// earlier.
GpxReadProgress::~GpxReadProgress() {
    if (clock_.elapsed() >= kPumpEveryMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

GpxProgress GpxReadProgress::callback() {
    return
        [this](std::uint64_t bytesRead, std::uint64_t totalBytes) { return update(bytesRead, totalBytes); };
}

bool GpxReadProgress::update(std::uint64_t bytesRead, std::uint64_t totalBytes) {
    if (sincePump_.elapsed() < kPumpEveryMs)
        return !(dialog_ && dialog_->wasCanceled());
    sincePump_.restart();

    if (!dialog_) {
        if (clock_.elapsed() < kShowAfterMs) {
            // Before the dialog blocks other windows, clicks must wait: they
            // could start this very plug-in again.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return true;
        }
        dialog_ = std::make_unique<QProgressDialog>(QStringLiteral("Reading the GPS log…"),
                                                    QStringLiteral("Cancel"), 0, kSteps, parent_.data());
        dialog_->setWindowTitle(QStringLiteral("Pelorin"));
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->show();
    }
    if (totalBytes > 0) {
        const auto step =
            static_cast<int>(std::min<std::uint64_t>(bytesRead, totalBytes) * kSteps / totalBytes);
        dialog_->setValue(step);
    }
    QCoreApplication::processEvents();
    return !dialog_->wasCanceled();
}

} // namespace pelorin
