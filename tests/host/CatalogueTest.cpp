#include "host/Catalogue.h"
#include "host/WavImport.h"

#include <gtest/gtest.h>

using namespace pelorin;

// Thousands of bad rows or broken files: a message lists the first few (ten rows, twenty files) and counts
// the rest.
TEST(ProblemMessages, ListTheFirstFewAndCountTheRest) {
    std::vector<CsvError> errors;
    for (int i = 0; i < 11; ++i)
        errors.push_back({static_cast<long>(i + 2), "bad row " + std::to_string(i)});
    const QStringList rows = catalogueErrorMessage(QStringLiteral("c.csv"), errors).split(QLatin1Char('\n'));
    ASSERT_EQ(rows.size(), 12); // what is wrong, ten rows, the count of the rest
    EXPECT_TRUE(rows.front().contains(QLatin1String("c.csv"))) << rows.front().toStdString();
    EXPECT_EQ(rows[10], QStringLiteral("Line 11: bad row 9"));
    EXPECT_EQ(rows.back(), QStringLiteral("… and 1 more problem(s)."));

    QList<SkippedFile> skipped;
    for (int i = 0; i < 21; ++i)
        skipped.append({QStringLiteral("/card/%1.wav").arg(i), QStringLiteral("not a WAV file")});
    const QStringList files = skippedFilesMessage(skipped).split(QLatin1Char('\n'));
    ASSERT_EQ(files.size(), 22);
    EXPECT_TRUE(files.front().contains(QLatin1String("21"))) << files.front().toStdString();
    EXPECT_EQ(files[20], QStringLiteral("/card/19.wav: not a WAV file"));
    EXPECT_EQ(files.back(), QStringLiteral("… and 1 more."));
}
