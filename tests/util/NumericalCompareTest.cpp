#include "util/NumericalCompare.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>

namespace pelorin {
namespace {

struct Case {
    const char16_t *receiver;
    const char16_t *argument;
    int expected;
};

void PrintTo(const Case &c, std::ostream *os) {
    *os << '"' << QString::fromUtf16(c.receiver).toStdString() << "\" vs \""
        << QString::fromUtf16(c.argument).toStdString() << '"';
}

class NumericalCompareTable : public ::testing::TestWithParam<Case> {};

TEST_P(NumericalCompareTable, GivesExpectedOrder) {
    const Case &c = GetParam();
    const QString r = QString::fromUtf16(c.receiver);
    const QString a = QString::fromUtf16(c.argument);
    EXPECT_EQ(numericalCompare(r, a), c.expected);
    // The order is antisymmetric for every case here.
    EXPECT_EQ(numericalCompare(a, r), -c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, NumericalCompareTable,
    ::testing::Values(Case{u"file2", u"file10", -1}, Case{u"a01", u"a1", 0}, Case{u"007", u"7", 0},
                      Case{u"", u"a", -1}, Case{u"", u"   ", 0}, Case{u"1", u"a", -1}, Case{u"a", u"a1", -1},
                      Case{u"x 5", u"x5", 1}, Case{u"5 6", u"5 7", -1}, Case{u"1 2", u"12", -1},
                      Case{u"  a", u"a", 0}, Case{u"a ", u"a", 1}, Case{u"1 ", u"1", 0}, Case{u"B", u"a", -1},
                      Case{u"p-1", u"p1", 1}, Case{u"n99999999999999999999", u"n99999999999999999998", 0},
                      Case{u"n9223372036854775807", u"n9223372036854775808", 0},
                      Case{u"n9223372036854775806", u"n9223372036854775807", -1},
                      Case{u"rec_0042.wav", u"rec_0042.wav", 0}, Case{u"a2b", u"a2c", -1},
                      Case{u"a99999999999999999999b", u"a99999999999999999999c", -1},
                      // Whitespace the cursors pass over: no-break space, line and paragraph separators,
                      // next line; a zero-width space is not whitespace here.
                      Case{u"\u00a0\u2028\u2029\u0085\t\r\na", u"a", 0}, Case{u"\u200ba", u"a", 1},
                      // Canonical equivalence: precomposed and decomposed e-acute.
                      Case{u"caf\u00e9 2", u"cafe\u0301 2", 0}, Case{u"caf\u00e9", u"caff", -1},
                      // Arabic-Indic and Devanagari digits count by their value.
                      Case{u"f\u0661\u0660", u"f9", 1}, Case{u"f\u0967\u0968", u"f12", 0},
                      // A digit outside the BMP (MATHEMATICAL BOLD DIGIT ZERO, U+1D7CE) ends the run and
                      // counts as 0.
                      Case{u"x\U0001D7CE\U0001D7CF", u"x1", 0}, Case{u"x\U0001D7D7", u"x10", -1},
                      // By code point: a supplementary letter sorts after U+FFFD.
                      Case{u"\uFFFD", u"\U00010400", -1}));

TEST(NumericalCompare, SortsFileNamesInNaturalOrder) {
    QStringList names{u"rec10.wav"_qs,  u"rec2.wav"_qs,  u"Rec3.wav"_qs,   u"rec1.wav"_qs,
                      u"rec02b.wav"_qs, u"rec2a.wav"_qs, u"rec100.wav"_qs, u"rec.wav"_qs};
    std::stable_sort(names.begin(), names.end(),
                     [](const QString &l, const QString &r) { return numericalCompare(l, r) < 0; });
    // "rec." against "rec": the longer run sorts after; ".wav" sorts before "a.wav" and "b.wav".
    const QStringList expected{u"Rec3.wav"_qs,   u"rec1.wav"_qs,  u"rec2.wav"_qs,   u"rec2a.wav"_qs,
                               u"rec02b.wav"_qs, u"rec10.wav"_qs, u"rec100.wav"_qs, u"rec.wav"_qs};
    EXPECT_EQ(names, expected);
}

} // namespace
} // namespace pelorin
