#include "cli/SurveyFixture.h"
#include "recordings/WavWriter.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace pelorin::test {
namespace {

using ::testing::HasSubstr;

// Around the survey's track (a waypoint at 09:00, fixes at 10:00, 10:01, 10:02)
// with the recorder 30 s behind: one before everything, one between the
// waypoint and the track, the three on the track, one after it.
const std::string kNightCsv = "filename,recording_time,species\n"
                              "Dawn.wav,2025-06-12T08:58:30Z,Ppip\n"
                              "R2.wav,2025-06-12T10:00:30Z,Ppip;Nnoc\n"
                              "\"Late, \"\"odd\"\".wav\",2025-06-12T10:05:00Z,\n"
                              "Early.wav,2025-06-12T09:50:00Z,Eser\n"
                              "R1.wav,2025-06-12T09:59:45Z,Ppip\n";

class ReportTest : public SurveyTest {
protected:
    void SetUp() override {
        SurveyTest::SetUp();
        writeFile(csv(), kNightCsv);
    }
    RunResult runReport(const std::vector<std::string> &extra) const {
        return runPelorin(
            concat({"--gpx", gpx(), "--recordings", csv(), "--report", report(), "--offset", "30"}, extra));
    }
};

TEST_F(ReportTest, OneRowPerRecordingInInputOrderThatPythonReads) {
    const RunResult r = runReport({"--verbose"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(std::filesystem::exists(kml())); // no --output, no document
    const std::string text = readFile(report());
    EXPECT_THAT(text,
                HasSubstr("\r\nR2.wav,Ppip;Nnoc,2025-06-12T10:00:30Z,catalogue,2025-06-12T10:01:00Z,exact,"
                          "11.000000,22.000000,101.5,0,,5,,,,,30,,start,track.gpx\r\n"));
    EXPECT_THAT(r.err, HasSubstr("pelorin: Dawn.wav not placed: 60 s before the first fix\n"));
    EXPECT_THAT(r.err,
                HasSubstr("pelorin: placed 3 of 5 recordings: 1 before the track (60 s before the first "
                          "fix), 1 after the track (4 min after the last fix); read 4 points, wrote " +
                          report() + "\n"));

    const RunResult python = runProgram(
        {"python3", "-c",
         "import csv, sys\n"
         "rows = list(csv.DictReader(open(sys.argv[1], newline='', encoding='utf-8')))\n"
         "print(' '.join(r['filename'] + '=' + r['status'] + '@' + r['latitude'] for r in rows))\n",
         report()});
    ASSERT_EQ(python.exitCode, 0) << python.err;
    EXPECT_EQ(python.out, "Dawn.wav=before-track@ R2.wav=exact@11.000000 Late, \"odd\".wav=after-track@ "
                          "Early.wav=interpolated@16.333336 R1.wav=interpolated@10.250000\n");
}

TEST_F(ReportTest, BothToTheirFilesOrTheReportToStandardOutput) {
    const RunResult both = runReport({"--output", kml()});
    ASSERT_EQ(both.exitCode, 0) << both.err;
    EXPECT_THAT(both.err, HasSubstr("wrote " + kml() + " and " + report() + "\n"));

    const RunResult out = runPelorin({"--gpx", gpx(), "--recordings", csv(), "--report", "-"});
    ASSERT_EQ(out.exitCode, 0) << out.err;
    EXPECT_TRUE(out.out.starts_with("filename,species,")) << out.out;
    EXPECT_THAT(out.err, HasSubstr("wrote standard output\n"));
}

// A card from several recorders at once: each file's start time from its own source, named in the report.
TEST_F(SurveyTest, AMixedCardNamesEachStartTimesSource) {
    setenv("TZ", "America/New_York", 1); // zone-less times are the recorder's: --recorder-tz says which
    const std::filesystem::path card = dir / "card";
    std::filesystem::create_directories(card / "night1");
    const auto wav = [](WavWriter &w) { return w.audio(64).bytes(); };
    // A folder below the card's is read too; the GUANO position is 11 m north of the track's.
    writeFile(
        card / "night1" / "a-guano.wav",
        wav(WavWriter().fmt().guano("Timestamp: 2025-06-12 12:00:15+0200\nLoc Position: 10.2501 20.5\n")));
    writeFile(card / "684AA55C.WAV", wav(WavWriter().fmt())); // 10:01:00 UTC
    writeFile(card / "broken.wav", "RIFF");
    writeFile(card / "e-bext.wav", wav(WavWriter().fmt().bext("2025-06-12", "12:01:15")));
    writeFile(
        card / "g-20250612_110000.WAV",
        wav(WavWriter().fmt().audioMothList("Recorded at 10:01:50 12/06/2025 (UTC) by AudioMoth 1 at x")));
    const RunResult r = runPelorin({"--gpx", gpx(), "--recordings-dir", card.string(), "--recorder-tz",
                                    "Europe/Berlin", "--report", report()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    expectHas(r.err, {"pelorin: using 4 WAV recordings from " + card.string() + " (1 skipped)\n",
                      "pelorin: g-20250612_110000.WAV: warning: the file name's time 20250612_110000 and the "
                      "AudioMoth comment's 10:01:50 12/06/2025 (UTC) disagree; the comment's is taken\n",
                      "placed 4 of 4 recordings; the recorders' own positions lie a median 11 m from "
                      "the track's; read 4 points"});
    expectHas(
        readFile(report()),
        {
            "\r\n684AA55C.WAV,,684AA55C,file name,2025-06-12T10:01:00Z,exact,",
            "\r\ne-bext.wav,,2025-06-12 12:01:15,bext,2025-06-12T10:01:15Z,interpolated,",
            "\r\na-guano.wav,,2025-06-12 12:00:15+0200,GUANO,2025-06-12T10:00:15Z,interpolated,",
            "\r\ng-20250612_110000.WAV,,10:01:50 12/06/2025 (UTC),AudioMoth comment,2025-06-12T10:01:50Z,",
        });
}

} // namespace
} // namespace pelorin::test
