#pragma once

#include "framework/HostDelegate.h"

#include <QList>
#include <QObject>
#include <QUrl>

// A host that answers as a real one and records what the plug-in asked.
class FakeRecordingsController : public pelorin::RecordingsController {
public:
    std::optional<QList<pelorin::HostRecording>> selection = QList<pelorin::HostRecording>{};
    mutable int reads = 0;

    std::optional<QList<pelorin::HostRecording>> selectedObjects() const override {
        ++reads;
        return selection;
    }
};

class FakeMapDisplay : public pelorin::MapDisplay {
    Q_OBJECT
public:
    struct Call {
        QString what;
        QStringList args;
    };
    QList<Call> calls;

    void showWindow(QObject *) override { calls.append({QStringLiteral("showWindow"), {}}); }
    void setCenter(const QStringList &latLon) override {
        calls.append({QStringLiteral("setCenter"), latLon});
    }
    void showTrack(const QString &path) override { calls.append({QStringLiteral("showTrack"), {path}}); }

    QStringList sequence() const;
};

class FakeHostDelegate : public pelorin::HostDelegate {
public:
    FakeRecordingsController recordings;
    FakeMapDisplay map;
    int mapRequests = 0;

    pelorin::RecordingsController *recordingsController() override { return &recordings; }
    pelorin::MapDisplay *centralMapDisplay() override {
        ++mapRequests;
        return &map;
    }
};

// Stands in for the desktop's default application for files.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    OpenedUrls();
    ~OpenedUrls() override;
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};
