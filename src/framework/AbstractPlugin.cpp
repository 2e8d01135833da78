#include "framework/AbstractPlugin.h"

namespace pelorin {

AbstractPlugin::AbstractPlugin(QObject *parent)
    : QObject(parent) {}

AbstractPlugin::~AbstractPlugin() = default;

} // namespace pelorin
