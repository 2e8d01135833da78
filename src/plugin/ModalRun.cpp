#include "plugin/ModalRun.h"

#include <QEvent>
#include <QEventLoop>

namespace pelorin {

namespace {
// Modality of a window on screen takes effect only when it is shown again.
void setModality(QWidget *window, Qt::WindowModality modality) {
    if (window->windowModality() == modality)
        return;
    const bool shown = window->isVisible();
    if (shown)
        window->hide();
    window->setWindowModality(modality);
    if (shown)
        window->show();
}
} // namespace

void ModalRun::runModalForWindow(QWidget *window) {
    if (!window || loop_)
        return;
    window_ = window;
    closing_ = false;
    window->installEventFilter(this);
    setModality(window, Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();

    QEventLoop loop;
    loop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    loop_ = nullptr;

    if (window_) {
        window_->removeEventFilter(this);
        if (window_->windowModality() != Qt::NonModal)
            setModality(window_, Qt::NonModal);
    }
    window_ = nullptr;
}

void ModalRun::stopModal() {
    if (!loop_)
        return;
    loop_->quit();
    // A window being closed goes away anyway; showing it again would flash it.
    if (window_ && !closing_)
        setModality(window_, Qt::NonModal);
}

bool ModalRun::eventFilter(QObject *watched, QEvent *event) {
    // Installed last, so this sees the close before the controller does.
    if (watched == window_ && event->type() == QEvent::Close)
        closing_ = true;
    return false;
}

} // namespace pelorin
