#pragma once

#include "framework/HostRecording.h"
#include "georef/Recording.h"

#include <QList>

#include <vector>

namespace pelorin {

// The host's recording as the core sees it: the instant, the file name in
// UTF-8 and each species' abbreviation ("" where the host has none).
Recording toRecording(const HostRecording &recording);
std::vector<Recording> toRecordings(const QList<HostRecording> &recordings);

} // namespace pelorin
