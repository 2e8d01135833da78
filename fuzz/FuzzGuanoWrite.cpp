// Bytes as a WAV file; the first byte picks the options. Planning the position's
// write-back never crashes, and when it writes, the file after every step is a
// well-formed WAVE file with the same audio, ending with the new position; a
// second plan finds nothing to write.
#include "FuzzCheck.h"
#include "recordings/GuanoTestSupport.h"
#include "recordings/GuanoText.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

std::optional<std::string> audioOf(const std::string &bytes) {
    for (const auto &[id, body] : pelorin::test::viewOf(bytes).kept)
        if (id == "data")
            return body;
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string original(reinterpret_cast<const char *>(data + 1), size - 1);
    const pelorin::GuanoWriteRequest request = pelorin::test::positionRequest(
        data[0] & 1 ? "-12.345678 130.000001" : "1.000000 2.000000", data[0] & 2);
    const pelorin::GuanoWritePlan plan = pelorin::test::planFor(original, request);
    PELORIN_FUZZ_CHECK((plan.outcome == pelorin::GuanoPlanOutcome::Refused) == !plan.error.empty());
    if (plan.outcome != pelorin::GuanoPlanOutcome::Write)
        return 0;

    const pelorin::test::WavView before = pelorin::test::viewOf(original);
    PELORIN_FUZZ_CHECK(before.error.empty());
    const auto audio = audioOf(original);
    PELORIN_FUZZ_CHECK(audio.has_value());
    for (std::size_t completed = 0; completed <= plan.steps.size(); ++completed) {
        std::string bytes = original;
        pelorin::test::MemoryTarget target(bytes, static_cast<int>(completed));
        std::string error;
        PELORIN_FUZZ_CHECK(pelorin::applyGuanoPlan(target, plan, error) == (completed == plan.steps.size()));
        const pelorin::test::WavView view = pelorin::test::viewOf(bytes);
        PELORIN_FUZZ_CHECK(view.error.empty());
        PELORIN_FUZZ_CHECK(view.kept == before.kept);
        if (completed < plan.steps.size())
            continue;
        PELORIN_FUZZ_CHECK(view.guano.has_value());
        PELORIN_FUZZ_CHECK(pelorin::GuanoText(*view.guano).value("Loc Position") == request.fields.position);
        PELORIN_FUZZ_CHECK(pelorin::test::planFor(bytes, request).outcome ==
                           pelorin::GuanoPlanOutcome::Unchanged);
    }
    return 0;
}
