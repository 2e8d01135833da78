#include "TestPlugin.h"

#include "framework/HostDelegate.h"

#include <QVariant>

void TestPlugin::fire(QObject *sender) {
    setProperty("firedBy", sender ? sender->objectName() : QString());
    int selected = -1; // no host, or no selection offered
    if (pelorin::HostDelegate *host = pelorin::hostDelegate()) {
        if (const auto recordings = host->recordingsController()->selectedObjects())
            selected = static_cast<int>(recordings->size());
    }
    setProperty("selectedCount", selected);
}
