#include "recordings/GuanoText.h"
#include "recordings/WavRecording.h"

#include "GuanoTestSupport.h"
#include "recordings/WavWriter.h"

#include <gtest/gtest.h>

#include <tuple>

namespace pelorin {
namespace {

using test::WavWriter;

const std::string kOldLines = "Timestamp: 2019-04-30 21:02:44+0100\n"
                              "Species Manual ID: Ppip\n"
                              "WA|Song Meter|Prefix: SM4\n"
                              "this line has no colon\n"
                              "\n"
                              "ACME|Gain:   12  \r\n"
                              "Note: two\\nlines";

std::optional<std::string> locPosition(const std::optional<std::string> &guano) {
    return guano ? GuanoText(*guano).value("Loc Position") : std::nullopt;
}

const char *const kNew = "51.123456 -1.234567";

// Power lost after each step of writing `position` into `original`: the file
// stays valid with the old or the new position, and the next run completes it.
void expectEveryCrashPointSafe(const std::string &original, const std::string &position) {
    const test::WavView before = test::viewOf(original);
    const GuanoWritePlan plan = test::planFor(original, test::positionRequest(position));
    ASSERT_EQ(plan.outcome, GuanoPlanOutcome::Write);
    for (int completed = 0; completed <= static_cast<int>(plan.steps.size()); ++completed) {
        SCOPED_TRACE("power lost after step " + std::to_string(completed));
        std::string bytes = original;
        test::MemoryTarget target(bytes, completed);
        std::string error;
        EXPECT_EQ(applyGuanoPlan(target, plan, error), completed == static_cast<int>(plan.steps.size()));
        const test::WavView view = test::viewOf(bytes);
        EXPECT_EQ(std::tie(view.error, view.kept), std::tie(before.error, before.kept));
        const auto found = locPosition(view.guano);
        EXPECT_TRUE(found == locPosition(before.guano) || found == position);
        ASSERT_TRUE(parseWavMetadata(bytes, "a.wav", RecordingTime{}).value);
        test::writePosition(bytes, test::positionRequest(position));
        EXPECT_EQ(locPosition(test::viewOf(bytes).guano), position);
        EXPECT_EQ(test::planFor(bytes, test::positionRequest(position)).outcome, GuanoPlanOutcome::Unchanged);
    }
}

TEST(GuanoWriteBack, WritesSafelyKeepingEveryOtherChunkAndLineAndIsIdempotent) {
    WavWriter rich; // other recorders' chunks, an odd LIST, and the guan after the (odd) audio
    rich.bext("2019-05-01", "22:14:29").fmt().chunk("LIST", "INFOabc");
    rich.chunk("iXML", "<BWFXML><IXML_VERSION>1.5</IXML_VERSION></BWFXML>\n").audio(999).guano(kOldLines);
    const std::pair<std::string, std::string> layouts[] = {
        {"new chunk, odd audio with its pad byte", WavWriter().fmt().audio(1001).bytes()},
        {"guan before data", WavWriter().fmt().guano(kOldLines).audio(1000).bytes()},
        {"bext, odd LIST and iXML kept", rich.bytes()},
        {"RF64 with ds64", test::rf64(1000, kOldLines)},
    };
    for (auto [name, bytes] : layouts) {
        SCOPED_TRACE(name);
        const test::WavView before = test::viewOf(bytes);
        ASSERT_EQ(before.error, "");
        expectEveryCrashPointSafe(bytes, kNew); // a new chunk, or the old one replaced
        ASSERT_EQ(test::writePosition(bytes, test::positionRequest()), GuanoPlanOutcome::Write);

        const test::WavView after = test::viewOf(bytes);
        EXPECT_EQ(std::tie(after.error, after.kept), std::tie(before.error, before.kept)); // every chunk kept
        ASSERT_TRUE(after.guano);
        EXPECT_EQ(after.guano->size() % 2, 0u);
        const GuanoText text(*after.guano);
        EXPECT_EQ(text.value("Loc Position"), kNew);
        EXPECT_EQ(text.value("PELORIN|Position"),
                  "track.gpx; offset 37 s; interpolated; written 2026-12-06T15:00:00Z");
        EXPECT_EQ(text.lines().front(), "GUANO|Version: 1.0");
        if (before.guano) {
            // Every line as read, in its order, malformed and unknown ones included.
            const std::vector<std::string> old = GuanoText(*before.guano).lines();
            EXPECT_TRUE(std::equal(old.begin(), old.end(), text.lines().begin()));
            EXPECT_EQ(text.value("Original Filename"), std::nullopt);
        } else {
            EXPECT_EQ(text.value("Timestamp"), "2019-05-01T22:14:29+02:00");
            EXPECT_EQ(text.value("Original Filename"), "a.wav");
        }
        // Our reader finds it too, and reads the recorder's own time form.
        EXPECT_EQ(parseWavMetadata(bytes, "a.wav", std::nullopt).value->recording.timeSource,
                  StartTimeSource::Guano);

        const std::string once = bytes;
        auto later = test::positionRequest();
        later.writtenAt = "2027-01-01T00:00:00Z"; // same inputs, another day
        EXPECT_EQ(test::writePosition(bytes, later), GuanoPlanOutcome::Unchanged);
        EXPECT_EQ(bytes, once);
        expectEveryCrashPointSafe(bytes, "1.000000 2.000000"); // the chunk reused or retired

        // New positions again and again: the retired chunks are reused.
        std::vector<std::size_t> sizes;
        for (const char *position :
             {"-12.500000 130.250000", "1.100000 2.200000", "-89.999999 -179.999999"}) {
            ASSERT_EQ(test::writePosition(bytes, test::positionRequest(position)), GuanoPlanOutcome::Write);
            sizes.push_back(bytes.size());
            EXPECT_EQ(test::viewOf(bytes).error, "");
        }
        EXPECT_EQ(sizes[2], sizes[1]);
    }
}

TEST(GuanoWriteBack, RefusesFilesItCannotEditSafely) {
    const std::string good = WavWriter().fmt().audio(100).bytes();
    const auto with = [](std::string bytes, std::size_t at, const std::string &patch) {
        return bytes.replace(at, patch.size(), patch);
    };
    std::string hugeRiff = WavWriter().fmt().bytes();
    const std::uint64_t fourGiB = 0xFFFFFFFFull + 8 - 64; // the metadata would not fit below 4 GiB
    hugeRiff += "data" + test::leBytes(fourGiB - hugeRiff.size() - 8, 4);
    hugeRiff.replace(4, 4, test::leBytes(fourGiB - 8, 4));
    const struct {
        std::string bytes, error;
        std::uint64_t size = 0; // beyond the bytes, zeros
    } cases[] = {
        {"OggS" + good.substr(4), "not a WAV file (no RIFF/RF64 WAVE header)"},
        {with(WavWriter().fmt().audio(10).chunk("LIST", "abcd").bytes(), 58, test::leBytes(1000, 4)),
         "the LIST chunk's size runs past the end of the file"},
        {with(good, 0, "RF64"), "RF64 file without a ds64 chunk"},
        {hugeRiff, "the metadata would take the file past the 4 GiB a RIFF file can hold", fourGiB},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.error);
        const std::uint64_t size = std::max<std::uint64_t>(c.size, c.bytes.size());
        const ReadAt sparse = [&](std::uint64_t offset, std::size_t n, std::string &out) {
            if (offset + n > size)
                return false;
            out.assign(n, '\0');
            for (std::size_t i = 0; i < n && offset + i < c.bytes.size(); ++i)
                out[i] = c.bytes[static_cast<std::size_t>(offset + i)];
            return true;
        };
        const GuanoWritePlan plan = planGuanoWrite(size, sparse, test::positionRequest());
        EXPECT_EQ(plan.outcome, GuanoPlanOutcome::Refused);
        EXPECT_EQ(plan.error, c.error);
        EXPECT_TRUE(plan.steps.empty());
    }
}

} // namespace
} // namespace pelorin
