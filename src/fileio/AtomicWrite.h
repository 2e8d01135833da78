#pragma once

#include "fileio/ByteSink.h"

#include <functional>
#include <string>

namespace pelorin {

struct WriteResult {
    bool ok = false;
    std::string error; // why the write failed, for people

    explicit operator bool() const noexcept { return ok; }
};

// Writes what produce sends to its sink into a temporary file in the
// destination's folder, flushes it to disk and renames it over the destination.
// On any failure (including produce throwing) the destination keeps what it
// held and no temporary file is left. An existing destination that is not a
// regular file (a folder, pipe or device) is refused and left alone. A
// symbolic link is followed: the file it points to is replaced, the link
// stays. A replaced file keeps its permissions; a new one gets 0666 less the
// umask.
WriteResult writeFileAtomically(const std::string &path,
                                const std::function<void(const ByteSink &)> &produce);

} // namespace pelorin
