#include "SharedData.h"
#include "gpx/GpxReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

TEST(GpxFile, StreamsAFileOfManyChunksLikeTheSameBytesAndCanCancel) {
    std::string doc = "<?xml version=\"1.0\"?>\n<gpx><trk><trkseg>\n";
    for (int i = 0; i < 10'000; ++i)
        doc +=
            "<trkpt lat=\"48.1\" lon=\"11.5\"><ele> 500.5</ele><time>2009-05-01T10:00:00Z</time></trkpt>\n";
    doc += "</trkseg></trk></gpx>\n";
    const fs::path path = fs::temp_directory_path() / ("pelorin-gpx-" + std::to_string(::getpid()) + ".gpx");
    std::ofstream(path, std::ios::binary) << doc;

    std::uint64_t lastSeen = 0;
    int calls = 0;
    GpxReader reader;
    const GpxResult fromFile =
        reader.parseGPXFile(path.string(), [&](std::uint64_t read, std::uint64_t total) {
            EXPECT_GT(read, lastSeen);
            EXPECT_EQ(total, doc.size());
            lastSeen = read;
            ++calls;
            return true;
        });
    ASSERT_TRUE(fromFile.ok()) << fromFile.error->description;
    EXPECT_EQ(fromFile.points.size(), 10000u);
    EXPECT_EQ(lastSeen, doc.size());
    EXPECT_GE(calls, 4);

    const GpxResult cancelled = reader.parseGPXFile(path.string(), [](auto, auto) { return false; });
    fs::remove(path);
    ASSERT_FALSE(cancelled.ok());
    EXPECT_EQ(cancelled.error->kind, GpxError::Kind::Cancelled);
    EXPECT_LT(cancelled.points.size(), 10000u);
}

// Real files from devices and programs, plus broken and hostile ones; MANIFEST.tsv
// says how many points each holds.
TEST(GpxCorpus, ReadsEveryFileAsTheManifestSays) {
    PELORIN_REQUIRE_SHARED();
    const fs::path dir = fs::path(test::sharedDir()) / "corpus" / "gpx";
    std::ifstream manifest(dir / "MANIFEST.tsv");
    std::string line, cell;
    std::getline(manifest, line);
    const auto column = static_cast<std::size_t>(
        std::count(line.begin(), line.begin() + line.find("\tpoints_wpt_trkpt_unprefixed\t") + 1, '\t'));
    std::size_t rows = 0, gpxFiles = 0;
    for (const auto &entry : fs::directory_iterator(dir))
        gpxFiles += entry.path().extension() == ".gpx";
    while (std::getline(manifest, line)) {
        std::vector<std::string> cells;
        for (std::istringstream row(line); std::getline(row, cell, '\t');)
            cells.push_back(cell);
        ASSERT_GT(cells.size(), column) << line;
        ++rows;
        const std::string &file = cells[0];
        SCOPED_TRACE(file);
        GpxReader reader;
        const GpxResult r = reader.parseGPXFile((dir / file).string());
        if (file.starts_with("malformed-") || file.starts_with("handmade-")) {
            ASSERT_FALSE(r.ok());
            EXPECT_EQ(r.error->kind, GpxError::Kind::Parse);
            EXPECT_TRUE(r.error->line > 0 && r.error->column > 0 && !r.error->description.empty());
        } else {
            ASSERT_TRUE(r.ok()) << r.error->description << " at " << r.error->line << ":" << r.error->column;
            EXPECT_EQ(r.points.size(), std::stoul(cells[column]));
        }
        std::ifstream in(dir / file, std::ios::binary);
        const GpxResult small = reader.parseGPXBytes(std::string(std::istreambuf_iterator<char>(in), {}), 7);
        EXPECT_EQ(small.points, r.points);
        EXPECT_EQ(small.ok(), r.ok());
    }
    EXPECT_EQ(rows, gpxFiles) << "MANIFEST.tsv lists every file";
}

} // namespace
} // namespace pelorin
