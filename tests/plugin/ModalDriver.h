#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

class QFileDialog;
class QMessageBox;

// Answers the application's modal widgets in the order a test expects them,
// as a person would: whenever the top modal widget matches the next step, the
// step's action runs once (from the event loop, so it may open dialogs of its
// own). A modal widget nobody expects is reported and dismissed.
class ModalDriver : public QObject {
public:
    using Match = std::function<bool(QWidget *)>;
    using Act = std::function<void(QWidget *)>;

    ModalDriver();

    void expect(QString label, Match match, Act act);
    void onFileDialog(std::function<void(QFileDialog *)> act);
    void onAlert(std::function<void(QMessageBox *)> act);
    void onPanel(Act act);

    // The common answers.
    void chooseFile(const QString &path);
    void cancelFileDialog();
    // Records the alert's texts and presses its only button.
    struct Alert {
        QString text;
        QString informativeText;
        QStringList buttons;
        Qt::WindowModality modality = Qt::NonModal;
    };
    void answerAlert(Alert *seen);

    bool finished() const { return steps_.empty(); }
    QStringList handled; // labels of the steps run, in order

private:
    struct Step {
        QString label;
        Match match;
        Act act;
    };
    void poll();
    static void dismiss(QWidget *top);

    QTimer timer_;
    std::deque<Step> steps_;
    QPointer<QWidget> busy_;
    QElapsedTimer stuck_;
};

// Turns the event loop for ms milliseconds.
void waitMs(int ms);
