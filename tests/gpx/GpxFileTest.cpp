#include "PointText.h"
#include "SharedData.h"
#include "gpx/GpxReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class TempDir {
public:
    TempDir()
        : path_(fs::temp_directory_path() / ("pelorin-gpx-test-" + std::to_string(::getpid()))) {
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    fs::path file(const std::string &name, const std::string &content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
        return path_ / name;
    }
    const fs::path &path() const { return path_; }

private:
    fs::path path_;
};

// Enough points that a file takes several read chunks.
std::string manyPoints(int count) {
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\"><trk><trkseg>\n";
    for (int i = 0; i < count; ++i) {
        doc += "  <trkpt lat=\"48." + std::to_string(100000 + i) + "\" lon=\"11.575000\">\n    <ele>" +
               std::to_string(500 + i % 100) +
               ".5</ele>\n    <time>2009-05-01T10:" + std::to_string(10 + i / 3600 % 50) + ":" +
               std::to_string(10 + i % 50) + "Z</time>\n  </trkpt>\n";
    }
    return doc + "</trkseg></trk></gpx>\n";
}

void expectSameResult(const GpxResult &a, const GpxResult &b, const std::string &what) {
    EXPECT_EQ(a.points, b.points) << what;
    EXPECT_EQ(a.hasElevation, b.hasElevation) << what;
    ASSERT_EQ(a.ok(), b.ok()) << what;
    if (!a.ok()) {
        EXPECT_EQ(a.error->code, b.error->code) << what;
        EXPECT_EQ(a.error->line, b.error->line) << what;
        EXPECT_EQ(a.error->column, b.error->column) << what;
    }
}

TEST(GpxFile, StreamsAFileOfManyChunksLikeTheSameBytes) {
    TempDir dir;
    const std::string doc = manyPoints(8000);
    ASSERT_GT(doc.size(), 3u * 256 * 1024);
    const fs::path path = dir.file("long.gpx", doc);

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
    EXPECT_EQ(fromFile.points.size(), 8000u);
    EXPECT_EQ(lastSeen, doc.size());
    EXPECT_GE(calls, 4);
    expectSameResult(fromFile, reader.parseGPXBytes(doc, 4096), "file vs bytes");
}

TEST(GpxFile, ProgressCanCancel) {
    TempDir dir;
    const fs::path path = dir.file("long.gpx", manyPoints(8000));
    GpxReader reader;
    const GpxResult r =
        reader.parseGPXFile(path.string(), [](std::uint64_t, std::uint64_t) { return false; });
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->kind, GpxError::Kind::Cancelled);
    EXPECT_LT(r.points.size(), 8000u);
}

TEST(GpxFile, RefusesWhatIsNoReadableFile) {
    TempDir dir;
    const fs::path fifo = dir.path() / "pipe.gpx";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path locked = dir.file("locked.gpx", "<gpx/>");
    fs::permissions(locked, fs::perms::none);
    const bool rootReadsAnyway = ::access(locked.c_str(), R_OK) == 0;

    struct Case {
        fs::path path;
        const char *said;
    };
    for (const Case &c : {Case{dir.path() / "missing.gpx", "No such file"}, Case{dir.path(), "folder"},
                          Case{fifo, "pipe"}, Case{locked, "Permission denied"}}) {
        if (c.path == locked && rootReadsAnyway)
            continue;
        GpxReader reader;
        const GpxResult r = reader.parseGPXFile(c.path.string());
        ASSERT_FALSE(r.ok()) << c.path;
        EXPECT_EQ(r.error->kind, GpxError::Kind::Unreadable) << c.path;
        EXPECT_NE(r.error->description.find(c.said), std::string::npos) << r.error->description;
        EXPECT_NE(r.error->description.find(c.path.string()), std::string::npos) << r.error->description;
    }
}

// The corpus: real files from devices and programs, plus broken and hostile ones.
struct ManifestRow {
    std::string file;
    long points = 0;
};

std::vector<ManifestRow> manifest(const fs::path &dir) {
    std::ifstream in(dir / "MANIFEST.tsv");
    std::string line;
    std::getline(in, line);
    std::vector<std::string> header;
    for (std::istringstream cells(line); std::getline(cells, line, '\t');)
        header.push_back(line);
    const auto column =
        std::find(header.begin(), header.end(), "points_wpt_trkpt_unprefixed") - header.begin();
    std::vector<ManifestRow> rows;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        for (std::istringstream row(line); std::getline(row, line, '\t');)
            cells.push_back(line);
        if (cells.size() > static_cast<std::size_t>(column))
            rows.push_back({cells[0], std::stol(cells[column])});
    }
    return rows;
}

fs::path corpusDir() {
    return fs::path(test::sharedDir()) / "corpus" / "gpx";
}

bool mustFail(const std::string &file) {
    return file.starts_with("malformed-") || file.starts_with("handmade-");
}

TEST(GpxCorpus, ReadsEveryFileAsExpected) {
    PELORIN_REQUIRE_SHARED();
    const auto rows = manifest(corpusDir());
    std::size_t gpxFiles = 0;
    for (const auto &entry : fs::directory_iterator(corpusDir()))
        gpxFiles += entry.path().extension() == ".gpx";
    ASSERT_EQ(rows.size(), gpxFiles) << "MANIFEST.tsv lists every file";

    for (const ManifestRow &row : rows) {
        GpxReader reader;
        const GpxResult r = reader.parseGPXFile((corpusDir() / row.file).string());
        if (mustFail(row.file)) {
            ASSERT_FALSE(r.ok()) << row.file;
            EXPECT_EQ(r.error->kind, GpxError::Kind::Parse) << row.file;
            EXPECT_GT(r.error->line, 0) << row.file;
            EXPECT_GT(r.error->column, 0) << row.file;
            EXPECT_FALSE(r.error->description.empty()) << row.file;
        } else {
            ASSERT_TRUE(r.ok()) << row.file << ": " << r.error->description << " at " << r.error->line << ":"
                                << r.error->column;
            EXPECT_EQ(static_cast<long>(r.points.size()), row.points) << row.file;
        }
    }
}

TEST(GpxCorpus, ExternalEntityIsNeverResolved) {
    PELORIN_REQUIRE_SHARED();
    std::string payload = slurp(corpusDir() / "handmade-external-entity.payload.txt");
    while (!payload.empty() && (payload.back() == '\n' || payload.back() == '\r'))
        payload.pop_back();
    ASSERT_FALSE(payload.empty());
    GpxReader reader;
    const GpxResult r = reader.parseGPXFile((corpusDir() / "handmade-external-entity.gpx").string());
    ASSERT_FALSE(r.ok());
    for (const TrackPoint &p : r.points)
        EXPECT_EQ(pointText(p).find(payload), std::string::npos);
}

TEST(GpxCorpus, ResultsDoNotDependOnChunkSize) {
    PELORIN_REQUIRE_SHARED();
    for (const ManifestRow &row : manifest(corpusDir())) {
        const std::string bytes = slurp(corpusDir() / row.file);
        GpxReader reader;
        const GpxResult whole = reader.parseGPXFile((corpusDir() / row.file).string());
        for (std::size_t chunk : {1, 7, 4096})
            expectSameResult(whole, reader.parseGPXBytes(bytes, chunk),
                             row.file + " chunk " + std::to_string(chunk));
    }
}

} // namespace
} // namespace pelorin
