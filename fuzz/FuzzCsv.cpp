// Bytes into the recordings CSV reader. Errors name a line of the input; a
// catalogue that reads back is written out and read again unchanged.
#include "FuzzCheck.h"
#include "recordings/RecordingsCsv.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const pelorin::RecordingsCsvResult result = pelorin::parseRecordingsCsv(text);

    // A lone CR may end a line as well as LF does; either way no line lies beyond this.
    const long lines = 1 + static_cast<long>(std::count(text.begin(), text.end(), '\n') +
                                             std::count(text.begin(), text.end(), '\r'));
    for (const pelorin::CsvError &error : result.errors) {
        PELORIN_FUZZ_CHECK(error.line >= 1 && error.line <= lines);
        PELORIN_FUZZ_CHECK(!error.message.empty());
    }
    if (!result.ok())
        return 0;

    const pelorin::RecordingsCsvResult again =
        pelorin::parseRecordingsCsv(pelorin::recordingsCsv(result.recordings));
    PELORIN_FUZZ_CHECK(again.ok());
    PELORIN_FUZZ_CHECK(again.recordings == result.recordings);
    return 0;
}
