#include "recordings/RecordingsCsv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

class RecordingsCsvFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("pelorin-csv-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_ / "locked.csv", fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }
    std::string write(const std::string &name, const std::string &text) {
        std::ofstream(dir_ / name, std::ios::binary) << text;
        return (dir_ / name).string();
    }
    static void expectFileError(const RecordingsCsvResult &result, const std::string &part) {
        ASSERT_EQ(result.errors.size(), 1u);
        EXPECT_EQ(result.errors[0].line, 0);
        EXPECT_NE(result.errors[0].message.find(part), std::string::npos) << result.errors[0].message;
    }
    fs::path dir_;
};

TEST_F(RecordingsCsvFile, ReadsARegularFile) {
    const auto result =
        readRecordingsCsv(write("ok.csv", "filename,recording_time,species\na.wav,2021-06-01T21:00:00Z,\n"));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.recordings.size(), 1u);
}

TEST_F(RecordingsCsvFile, RefusesWhatIsNotAReadableFile) {
    expectFileError(readRecordingsCsv((dir_ / "missing.csv").string()), "no such file");
    expectFileError(readRecordingsCsv(dir_.string()), "is a folder");
    const std::string fifo = (dir_ / "pipe.csv").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    expectFileError(readRecordingsCsv(fifo), "not a regular file");
}

TEST_F(RecordingsCsvFile, ReportsAnUnreadableFile) {
    const std::string path = write("locked.csv", "filename,recording_time,species\n");
    fs::permissions(path, fs::perms::none);
    if (std::ifstream(path).is_open())
        GTEST_SKIP() << "permissions do not bind this user (root)";
    expectFileError(readRecordingsCsv(path), "cannot be read");
}

} // namespace
} // namespace pelorin
