#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QEventLoop;

namespace pelorin {

// The application's modal session for one window: while it runs, only that
// window (and dialogs opened from it) takes input, and the caller waits in a
// nested event loop.
class ModalRun : public QObject {
public:
    using QObject::QObject;

    // Shows window application-modal and returns once stopModal() was called.
    void runModalForWindow(QWidget *window);
    // Ends the current run, if any. The window stays on screen, now as an
    // ordinary window, unless it is being closed.
    void stopModal();

    bool isRunning() const { return loop_ != nullptr; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> window_;
    QEventLoop *loop_ = nullptr;
    bool closing_ = false;
};

} // namespace pelorin
