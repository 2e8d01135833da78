#include "host/HostApplication.h"

#include "host/MainWindow.h"
#include "host/TableRecordingsController.h"
#include "map/CentralMapDisplay.h"

namespace pelorin {

HostApplication::HostApplication()
    : mapDisplay_(std::make_unique<CentralMapDisplay>())
    , mainWindow_(std::make_unique<MainWindow>(mapDisplay_.get()))
    , recordings_(std::make_unique<TableRecordingsController>(mainWindow_->table())) {
    mapDisplay_->openBeside(mainWindow_.get());
    setHostDelegate(this);
}

HostApplication::~HostApplication() {
    if (hostDelegate() == this)
        setHostDelegate(nullptr);
}

RecordingsController *HostApplication::recordingsController() {
    return recordings_.get();
}

MapDisplay *HostApplication::centralMapDisplay() {
    return mapDisplay_.get();
}

} // namespace pelorin
