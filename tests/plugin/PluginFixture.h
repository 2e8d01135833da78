#pragma once

#include "plugin/QuellmarkPlugin.h"

#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <deque>
#include <functional>

#include <gtest/gtest.h>

// The host's map window: notes each message ("setCenter <lat> <lon>", "showTrack <file name>").
class FakeMap : public pelorin::MapDisplay {
public:
    QStringList calls;
    void showWindow(QObject *) override { calls << "showWindow"; }
    void setCenter(double latitude, double longitude) override {
        calls << QStringLiteral("setCenter %1 %2").arg(latitude, 0, 'g', 12).arg(longitude, 0, 'g', 12);
    }
    void showTrack(const QString &path) override { calls << "showTrack " + QFileInfo(path).fileName(); }
};

// The test plays the host, the desktop (the files' opener) and the user, who answers the modal widgets as
// they come up, a step each in order; one unexpected that stays fails the test. The plug-in goes first.
class PluginTest : public QObject,
                   public ::testing::Test,
                   public pelorin::HostDelegate,
                   public pelorin::RecordingsController {
    Q_OBJECT
protected:
    // The widget's object name, else its class, and what to do with it.
    using Step = std::pair<QString, std::function<void(QWidget *)>>;

    void SetUp() override;
    void TearDown() override;
    pelorin::RecordingsController *recordingsController() override { return this; }
    pelorin::MapDisplay *centralMapDisplay() override { return &map; }
    std::optional<QList<pelorin::HostRecording>> selectedObjects() const override {
        return ++reads, selection;
    }
    void showPlacements(const QList<pelorin::HostPlacement> &placements) override { shown = placements; }
    void filesChanged(const QStringList &paths) override { changedFiles << paths; }

    QString writeFile(const QString &name, const QByteArray &text) const;
    static QByteArray contents(const QString &path);
    // Three points a minute apart from 2009-05-01 10:00:00 UTC, with elevations.
    QString trackFile() const;
    // night2.gpx and night10.gpx, two fixes each, named as a file dialog that takes several names them.
    QString twoLogs() const;
    static pelorin::HostRecording rec(const QString &file, const QString &utc, const QString &species = {});
    void selectTwo(); // inside the track's span, latest first
    Step press(const char *button);
    static Step chooseFile(const QString &path); // typed into the file dialog, then accepted
    // The save dialog's kind of that index (KML, GeoJSON, GPX), then chooseFile.
    static Step saveAs(const QString &path, int kind);
    static Step answerAlert(QStringList *seen); // notes text, informative text, buttons; presses the first
    // The panel's widget of that object name.
    template <class Widget> Widget *field(const char *name) const {
        return plugin.myPanel->findChild<Widget *>(QLatin1String(name));
    }

    std::optional<QList<pelorin::HostRecording>> selection;
    QList<pelorin::HostPlacement> shown; // what the plug-in told the host's table
    QStringList changedFiles;            // the files the plug-in told the host to read again
    mutable int reads = 0;
    FakeMap map;
    QList<QUrl> opened;
    std::deque<Step> steps;
    QTemporaryDir dir;
    QByteArray oldTemp;
    QTimer driver;
    QPointer<QWidget> lastModal;
    QuellmarkPlugin plugin;

protected slots:
    void open(const QUrl &url) { opened << url; }

private:
    void answerModal();
};

inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}
