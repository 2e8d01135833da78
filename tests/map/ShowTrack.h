#pragma once

#include "map/CentralMapDisplay.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace pelorin::test {

// Asks the display for the file and waits until it is on the map, or its error is.
inline void showTrackAndWait(CentralMapDisplay &display, const QString &path) {
    QSignalSpy shown(&display, &CentralMapDisplay::trackShown);
    display.showTrack(path);
    EXPECT_TRUE(shown.wait(10000)) << "never shown: " << path.toStdString();
}

} // namespace pelorin::test
