#pragma once

#include "framework/HostDelegate.h"

#include <memory>

namespace pelorin {

class CentralMapDisplay;
class MainWindow;
class TableRecordingsController;

// The host's delegate: owns the main window and the map display, and is
// installed for plug-ins for as long as it lives.
class HostApplication : public HostDelegate {
public:
    HostApplication();
    ~HostApplication() override;
    HostApplication(const HostApplication &) = delete;
    HostApplication &operator=(const HostApplication &) = delete;

    RecordingsController *recordingsController() override;
    MapDisplay *centralMapDisplay() override;

    MainWindow *mainWindow() const { return mainWindow_.get(); }
    CentralMapDisplay *mapDisplay() const { return mapDisplay_.get(); }

private:
    std::unique_ptr<CentralMapDisplay> mapDisplay_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<TableRecordingsController> recordings_;
};

} // namespace pelorin
