#pragma once

#include "framework/FrameworkExport.h"
#include "framework/HostPlacement.h"
#include "framework/HostRecording.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <optional>

namespace pelorin {

// The host's list of recordings, as plug-ins see it.
class PELORIN_FRAMEWORK_EXPORT RecordingsController {
public:
    virtual ~RecordingsController();
    // The recordings selected in the host, in the host's order; nullopt when
    // the host has no selection to offer.
    virtual std::optional<QList<HostRecording>> selectedObjects() const = 0;
    // Where the last pass put the recordings it was given; a host that has
    // nowhere to show them ignores them.
    virtual void showPlacements(const QList<HostPlacement> &placements);
    // A plug-in changed these files (absolute paths); a host that shows what
    // is in them reads them again.
    virtual void filesChanged(const QStringList &paths);
};

// The host's central map window.
class PELORIN_FRAMEWORK_EXPORT MapDisplay : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MapDisplay() override;

public slots:
    virtual void showWindow(QObject *sender) = 0;
    // Decimal degrees; a position off the globe is ignored.
    virtual void setCenter(double latitude, double longitude) = 0;
    // Reads and shows the KML file at path.
    virtual void showTrack(const QString &path) = 0;
};

// The host application's delegate, reachable from anywhere in the process.
class PELORIN_FRAMEWORK_EXPORT HostDelegate {
public:
    virtual ~HostDelegate();
    virtual RecordingsController *recordingsController() = 0;
    virtual MapDisplay *centralMapDisplay() = 0;
};

// The delegate the host installed, or nullptr (no host, e.g. in a bare test).
PELORIN_FRAMEWORK_EXPORT HostDelegate *hostDelegate();
// Installed by the host at start-up; nullptr removes it.
PELORIN_FRAMEWORK_EXPORT void setHostDelegate(HostDelegate *delegate);

} // namespace pelorin
