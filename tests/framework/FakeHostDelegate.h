#pragma once

#include "framework/HostDelegate.h"

// A host delegate with a fixed selection and no map.
class FakeHostDelegate : public pelorin::HostDelegate, public pelorin::RecordingsController {
public:
    explicit FakeHostDelegate(std::optional<QList<pelorin::HostRecording>> selection)
        : selection_(std::move(selection)) {}

    pelorin::RecordingsController *recordingsController() override { return this; }
    pelorin::MapDisplay *centralMapDisplay() override { return nullptr; }
    std::optional<QList<pelorin::HostRecording>> selectedObjects() const override { return selection_; }

private:
    std::optional<QList<pelorin::HostRecording>> selection_;
};

// Installs a delegate for one scope.
class ScopedHostDelegate {
public:
    explicit ScopedHostDelegate(pelorin::HostDelegate *delegate) { pelorin::setHostDelegate(delegate); }
    ~ScopedHostDelegate() { pelorin::setHostDelegate(nullptr); }
    ScopedHostDelegate(const ScopedHostDelegate &) = delete;
    ScopedHostDelegate &operator=(const ScopedHostDelegate &) = delete;
};
