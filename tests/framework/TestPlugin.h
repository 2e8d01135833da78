#pragma once

#include "framework/AbstractPlugin.h"

// A plug-in for the tests: fire() records who sent it and what the host's
// recordings controller offered, as properties of the plug-in object.
class TestPlugin : public pelorin::AbstractPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PelorinAbstractPlugin_iid)
public:
    QString name() const override { return QStringLiteral("Test plug-in"); }
    void fire(QObject *sender) override;
};
