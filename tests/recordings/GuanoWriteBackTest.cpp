#include "recordings/GuanoText.h"
#include "recordings/WavRecording.h"

#include "GuanoTestSupport.h"
#include "recordings/WavWriter.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

using namespace std::string_literals;
using test::WavWriter;

const std::string kOldLines = "Timestamp: 2019-04-30 21:02:44+0100\n"
                              "Species Manual ID: Ppip\n"
                              "WA|Song Meter|Prefix: SM4\n"
                              "this line has no colon\n"
                              "\n"
                              "ACME|Gain:   12  \r\n"
                              "Note: two\\nlines";

// Name and bytes of each file layout the write must handle.
std::vector<std::pair<std::string, std::string>> layouts() {
    std::string noPadByte = WavWriter().fmt().audio(1001).bytes(); // as some writers leave odd audio
    noPadByte.pop_back();
    noPadByte.replace(4, 4, test::leBytes(noPadByte.size() - 8, 4));
    WavWriter rich;
    rich.bext("2019-05-01", "22:14:29").fmt().chunk("LIST", "INFOabc");
    rich.chunk("iXML", "<BWFXML><IXML_VERSION>1.5</IXML_VERSION></BWFXML>\n").audio(999).guano(kOldLines);
    return {
        {"new chunk, odd audio with its pad byte", WavWriter().fmt().audio(1001).bytes()},
        {"guan before data", WavWriter().fmt().guano(kOldLines).audio(1000).bytes()},
        // Room enough after the audio for the metadata, but a recorder's.
        {"guan after data, a LIST between",
         WavWriter().fmt().audio(1000).chunk("LIST", std::string(1000, 'x')).guano(kOldLines).bytes()},
        {"bext, odd LIST and iXML kept", rich.bytes()},
        {"RF64 with ds64", test::rf64(1000, kOldLines)},
        {"RF64 without metadata", test::rf64(1001, "")},
        {"NUL padding after the RIFF", WavWriter().fmt().audio(1000).bytes() + std::string(512, '\0')},
        {"odd audio without its pad byte", noPadByte}, // other recorders' chunks: as bext, LIST and iXML
    };
}

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
        EXPECT_EQ(view.error, "");
        EXPECT_EQ(view.kept, before.kept);
        const auto found = locPosition(view.guano);
        EXPECT_TRUE(found == locPosition(before.guano) || found == position);
        ASSERT_TRUE(parseWavMetadata(bytes, "a.wav", RecordingTime{}).value);
        test::writePosition(bytes, test::positionRequest(position));
        EXPECT_EQ(locPosition(test::viewOf(bytes).guano), position);
        EXPECT_EQ(test::planFor(bytes, test::positionRequest(position)).outcome, GuanoPlanOutcome::Unchanged);
    }
}

TEST(GuanoWriteBack, WritesSafelyKeepingEveryOtherChunkAndLineAndIsIdempotent) {
    for (auto [name, bytes] : layouts()) {
        SCOPED_TRACE(name);
        const test::WavView before = test::viewOf(bytes);
        ASSERT_EQ(before.error, "");
        expectEveryCrashPointSafe(bytes, kNew); // a new chunk, or the old one replaced
        ASSERT_EQ(test::writePosition(bytes, test::positionRequest()), GuanoPlanOutcome::Write);

        const test::WavView after = test::viewOf(bytes);
        EXPECT_EQ(after.error, "");
        EXPECT_EQ(after.kept, before.kept); // fmt, data (the audio), bext, LIST, iXML byte for byte
        ASSERT_TRUE(after.guano);
        EXPECT_EQ(after.guano->size() % 2, 0u);
        const GuanoText text(*after.guano);
        EXPECT_EQ(text.value("Loc Position"), kNew);
        EXPECT_EQ(text.value("Loc Elevation"), "81.5");
        EXPECT_EQ(text.value("Loc Accuracy"), "6.2");
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
        const WavResult read = parseWavMetadata(bytes, "a.wav", std::nullopt);
        ASSERT_TRUE(read.value) << read.error;
        EXPECT_EQ(read.value->recording.timeSource, StartTimeSource::Guano);

        const std::string once = bytes;
        auto later = test::positionRequest();
        later.writtenAt = "2027-01-01T00:00:00Z"; // same inputs, another day
        EXPECT_EQ(test::writePosition(bytes, later), GuanoPlanOutcome::Unchanged);
        EXPECT_EQ(bytes, once);
        expectEveryCrashPointSafe(bytes, "1.000000 2.000000"); // the chunk reused or retired

        // New positions again and again: the retired chunks are reused.
        std::vector<std::size_t> sizes;
        for (const char *position : {"-12.500000 130.250000", "1.100000 2.200000", "-89.999999 -179.999999",
                                     "-12.500001 130.250001"}) {
            ASSERT_EQ(test::writePosition(bytes, test::positionRequest(position)), GuanoPlanOutcome::Write);
            sizes.push_back(bytes.size());
            EXPECT_EQ(test::viewOf(bytes).error, "");
        }
        EXPECT_EQ(sizes.back(), sizes[1]);
    }
}

// Overwriting without an elevation drops the old one: it described the old position.
TEST(GuanoWriteBack, AnExistingPositionIsKeptUnlessOverwriting) {
    std::string bytes = WavWriter().fmt().audio(10).guano("Loc Position: 10 20\nLoc Elevation: 5\n").bytes();
    const std::string original = bytes;
    EXPECT_EQ(test::writePosition(bytes, test::positionRequest("1 2", false)), GuanoPlanOutcome::HasPosition);
    EXPECT_EQ(bytes, original);
    auto noElevation = test::positionRequest("1.000000 2.000000");
    noElevation.fields.elevation.reset();
    EXPECT_EQ(test::writePosition(bytes, noElevation), GuanoPlanOutcome::Write);
    const GuanoText text(*test::viewOf(bytes).guano);
    EXPECT_EQ(text.value("Loc Position"), "1.000000 2.000000");
    EXPECT_EQ(text.value("Loc Elevation"), std::nullopt);
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
        {"", "too short for a WAV file"},
        {"OggS" + good.substr(4), "not a WAV file (no RIFF/RF64 WAVE header)"},
        {WavWriter().audio(10).bytes(), "no fmt chunk"},
        {WavWriter().chunk("fmt ", "\x01\0\x01\0").audio(10).bytes(), "the fmt chunk is cut short"},
        {WavWriter().fmt().bytes(), "no data chunk"},
        {with(WavWriter().fmt().audio(10).chunk("LIST", "abcd").bytes(), 58, test::leBytes(1000, 4)),
         "the LIST chunk's size runs past the end of the file"},
        {with(good, 4, test::leBytes(5000, 4)), "the file is shorter than its RIFF header says (cut short?)"},
        {with(good, 0, "RF64"), "RF64 file without a ds64 chunk"},
        {good + "trailing", "data follows the RIFF's end"},
        {with(good + "xxxx", 4, test::leBytes(good.size() - 4, 4)),
         "stray bytes after the last chunk, inside the RIFF"},
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

TEST(GuanoText, KeepsLinesAndDropsOnlyThePadding) {
    EXPECT_EQ(GuanoText("GUANO|Version: 1.0\nA: 1\n  \0\0"s).lines(),
              (std::vector<std::string>{"GUANO|Version: 1.0", "A: 1"}));
    EXPECT_EQ(GuanoText("A: 1\r\n\nno colon\nB:2").lines(),
              (std::vector<std::string>{"A: 1\r", "", "no colon", "B:2"}));
    EXPECT_EQ(GuanoText(" \0 "s).lines(), std::vector<std::string>{});
    GuanoText text("A|Key : x\nLoc Position: 1 2\nLoc Position: 3 4\n");
    EXPECT_EQ(text.value("A|Key"), "x");
    text.set("Loc Position", "5 6");
    EXPECT_EQ(text.text(), "A|Key : x\nLoc Position: 5 6\nLoc Position: 5 6\n");
}

} // namespace
} // namespace pelorin
