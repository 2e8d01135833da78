#pragma once

#include "framework/FrameworkExport.h"

#include <QObject>
#include <QString>

namespace pelorin {

// What a host asks of a plug-in. A plug-in is a Qt plug-in whose root object
// derives from this class; the host creates one instance and keeps it.
class PELORIN_FRAMEWORK_EXPORT AbstractPlugin : public QObject {
    Q_OBJECT
public:
    explicit AbstractPlugin(QObject *parent = nullptr);
    ~AbstractPlugin() override;

    // Second-stage initialisation; false when the plug-in cannot work.
    virtual bool init() { return true; }
    // The display name for the Plug-ins menu.
    virtual QString name() const = 0;
    // Starts one run; returns when the run's modal phase is over.
    virtual void fire(QObject *sender) = 0;
};

} // namespace pelorin

#define PelorinAbstractPlugin_iid "org.pelorin.AbstractPlugin/1.0"
