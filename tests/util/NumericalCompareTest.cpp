#include "util/NumericalCompare.h"

#include <gtest/gtest.h>

#include <QString>

namespace pelorin {
namespace {

TEST(NumericalCompare, GivesTheExpectedAntisymmetricOrder) {
    const struct {
        const char16_t *receiver, *argument;
        int expected;
    } cases[] = {{u"file2", u"file10", -1},
                 {u"a01", u"a1", 0},
                 {u"", u"a", -1},
                 {u"", u"   ", 0},
                 {u"1", u"a", -1},
                 {u"a", u"a1", -1},
                 {u"x 5", u"x5", 1},
                 {u"5 6", u"5 7", -1},
                 {u"1 2", u"12", -1},
                 {u"  a", u"a", 0},
                 {u"a ", u"a", 1},
                 {u"1 ", u"1", 0},
                 {u"B", u"a", -1},
                 {u"p-1", u"p1", 1},
                 {u"n99999999999999999999", u"n99999999999999999998", 0},
                 {u"n9223372036854775807", u"n9223372036854775808", 0},
                 {u"n9223372036854775806", u"n9223372036854775807", -1},
                 {u"a99999999999999999999b", u"a99999999999999999999c", -1},
                 // "rec." against "rec1": the digit run sorts first; ".wav" before "a.wav".
                 {u"rec.wav", u"rec100.wav", 1},
                 {u"rec2.wav", u"rec2a.wav", -1},
                 {u"rec2a.wav", u"rec02b.wav", -1},
                 // Whitespace the cursors pass over: no-break space, line and paragraph separators, next
                 // line; a zero-width space is not whitespace here.
                 {u"\u00a0\u2028\u2029\u0085\t\r\na", u"a", 0},
                 {u"\u200ba", u"a", 1},
                 // Canonical equivalence: precomposed and decomposed e-acute.
                 {u"caf\u00e9 2", u"cafe\u0301 2", 0},
                 {u"caf\u00e9", u"caff", -1},
                 // Arabic-Indic and Devanagari digits count by their value.
                 {u"f\u0661\u0660", u"f9", 1},
                 {u"f\u0967\u0968", u"f12", 0},
                 // A digit outside the BMP (U+1D7CE) ends the run and counts as 0.
                 {u"x\U0001D7CE\U0001D7CF", u"x1", 0},
                 {u"x\U0001D7D7", u"x10", -1},
                 // By code point: a supplementary letter sorts after U+FFFD.
                 {u"\uFFFD", u"\U00010400", -1}};
    for (const auto &c : cases) {
        const QString r = QString::fromUtf16(c.receiver), a = QString::fromUtf16(c.argument);
        SCOPED_TRACE('"' + r.toStdString() + "\" vs \"" + a.toStdString() + '"');
        EXPECT_EQ(numericalCompare(r, a), c.expected);
        EXPECT_EQ(numericalCompare(a, r), -c.expected);
    }
}

} // namespace
} // namespace pelorin
