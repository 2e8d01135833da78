#include "framework/AbstractPlugin.h"
#include "framework/HostDelegate.h"

#include <QVariant>

// A plug-in for the tests: fire() records who sent it and what the host's
// recordings controller offered (-1: no host, or no selection offered).
class TestPlugin : public pelorin::AbstractPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PelorinAbstractPlugin_iid)
public:
    QString name() const override { return QStringLiteral("Test plug-in"); }
    void fire(QObject *sender) override {
        setProperty("firedBy", sender ? sender->objectName() : QString());
        auto *host = pelorin::hostDelegate();
        const auto recordings = host ? host->recordingsController()->selectedObjects() : std::nullopt;
        setProperty("selectedCount", recordings ? static_cast<int>(recordings->size()) : -1);
    }
};

#include "TestPlugin.moc"
