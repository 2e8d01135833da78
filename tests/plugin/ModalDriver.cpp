#include "ModalDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {
constexpr int kPollMs = 10;
constexpr qint64 kGiveUpMs = 5000;
} // namespace

ModalDriver::ModalDriver() {
    connect(&timer_, &QTimer::timeout, this, &ModalDriver::poll);
    timer_.start(kPollMs);
    stuck_.start();
}

void ModalDriver::expect(QString label, Match match, Act act) {
    steps_.push_back({std::move(label), std::move(match), std::move(act)});
}

void ModalDriver::onFileDialog(std::function<void(QFileDialog *)> act) {
    expect(
        QStringLiteral("file dialog"), [](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
        [act](QWidget *w) { act(static_cast<QFileDialog *>(w)); });
}

void ModalDriver::onAlert(std::function<void(QMessageBox *)> act) {
    expect(
        QStringLiteral("alert"), [](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
        [act](QWidget *w) { act(static_cast<QMessageBox *>(w)); });
}

void ModalDriver::onPanel(Act act) {
    expect(
        QStringLiteral("panel"), [](QWidget *w) { return w->objectName() == QLatin1String("PelorinMain"); },
        std::move(act));
}

void ModalDriver::chooseFile(const QString &path) {
    onFileDialog([path](QFileDialog *dialog) {
        // As typed: selectFile() leaves a focused name field alone.
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (name)
            name->setText(path);
        else
            dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // protected in QFileDialog
    });
}

void ModalDriver::cancelFileDialog() {
    onFileDialog([](QFileDialog *dialog) { dialog->reject(); });
}

void ModalDriver::answerAlert(Alert *seen) {
    onAlert([seen](QMessageBox *box) {
        seen->text = box->text();
        seen->informativeText = box->informativeText();
        seen->modality = box->windowModality();
        for (QAbstractButton *button : box->buttons())
            seen->buttons.append(button->text());
        box->buttons().constFirst()->click();
    });
}

void ModalDriver::dismiss(QWidget *top) {
    if (auto *dialog = qobject_cast<QDialog *>(top))
        dialog->reject();
    else
        top->close();
}

void ModalDriver::poll() {
    QWidget *top = QApplication::activeModalWidget();
    if (top != busy_)
        busy_ = nullptr;
    if (!top) {
        stuck_.restart();
        return;
    }
    if (top == busy_) {
        // The last action should have dismissed it, or ended the panel's run.
        if (stuck_.elapsed() > kGiveUpMs) {
            ADD_FAILURE() << "still up after its step: " << top->metaObject()->className();
            dismiss(top);
            stuck_.restart();
        }
        return;
    }
    if (!steps_.empty() && steps_.front().match(top)) {
        Step step = std::move(steps_.front());
        steps_.pop_front();
        busy_ = top;
        handled.append(step.label);
        stuck_.restart();
        // From the event loop, not this timer: the action may run a modal loop.
        QTimer::singleShot(0, top, [top, act = std::move(step.act)] { act(top); });
        return;
    }
    if (stuck_.elapsed() > kGiveUpMs) {
        ADD_FAILURE() << "unexpected modal widget " << top->metaObject()->className() << " \""
                      << top->objectName().toStdString() << "\"";
        handled.append(QStringLiteral("unexpected ") + QString::fromLatin1(top->metaObject()->className()));
        dismiss(top);
        stuck_.restart();
    }
}

void waitMs(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
