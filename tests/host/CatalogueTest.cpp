#include "host/Catalogue.h"
#include "host/WavImport.h"

#include <gtest/gtest.h>

using namespace pelorin;

// Thousands of bad rows or broken files: a message lists the first few (ten rows, twenty files) and counts
// the rest.
TEST(ProblemMessages, ListTheFirstFewAndCountTheRest) {
    const auto rows = [](int count) {
        std::vector<CsvError> errors;
        for (int i = 0; i < count; ++i)
            errors.push_back({static_cast<long>(i + 2), "bad row " + std::to_string(i)});
        return catalogueErrorMessage(QStringLiteral("c.csv"), errors);
    };
    const auto files = [](int count) {
        QList<SkippedFile> skipped;
        for (int i = 0; i < count; ++i)
            skipped.append({QStringLiteral("/card/%1.wav").arg(i), QStringLiteral("not a WAV file")});
        return skippedFilesMessage(skipped);
    };
    const struct {
        bool catalogue;
        int count, listed;
        const char *header, *last;
    } cases[] = {
        {true, 1, 1, "c.csv", "Line 2: bad row 0"},
        {true, 10, 10, "c.csv", "Line 11: bad row 9"},
        {true, 11, 10, "c.csv", "… and 1 more problem(s)."},
        {false, 1, 1, "1", "/card/0.wav: not a WAV file"},
        {false, 20, 20, "20", "/card/19.wav: not a WAV file"},
        {false, 21, 20, "21", "… and 1 more."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.catalogue << " " << c.count);
        const QStringList lines = (c.catalogue ? rows(c.count) : files(c.count)).split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 1 + c.listed + (c.count > c.listed ? 1 : 0));
        EXPECT_TRUE(lines.front().contains(QString::fromUtf8(c.header))) << lines.front().toStdString();
        EXPECT_EQ(lines[1], c.catalogue ? QStringLiteral("Line 2: bad row 0")
                                        : QStringLiteral("/card/0.wav: not a WAV file"));
        EXPECT_EQ(lines.back(), QString::fromUtf8(c.last));
    }
}
