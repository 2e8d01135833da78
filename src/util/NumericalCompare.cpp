#include "util/NumericalCompare.h"

#include <QChar>
#include <QStringView>

#include <cstdint>
#include <limits>
#include <optional>

namespace pelorin {

namespace {

struct CodePoint {
    char32_t value;
    qsizetype width; // UTF-16 units
};

// A lone surrogate stands for itself, so every text has a reading.
CodePoint codePointAt(QStringView text, qsizetype pos) {
    const QChar c = text[pos];
    if (c.isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(c, text[pos + 1]), 2};
    return {c.unicode(), 1};
}

bool isPassedOver(char32_t c) {
    if (c == 0x09 || (c >= 0x0A && c <= 0x0D) || c == 0x85)
        return true;
    switch (QChar::category(c)) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

bool isDigit(char32_t c) {
    return QChar::category(c) == QChar::Number_DecimalDigit;
}

// Reads one text the way a default-configured scanner does: whitespace and
// line ends in front of each read and each end test are passed over.
class Cursor {
public:
    explicit Cursor(QStringView text)
        : m_text(text) {}

    bool atEnd() {
        skip();
        return m_pos >= m_text.size();
    }

    // Everything up to the next digit or the end, or nothing when the cursor
    // stands at a digit (or at the end).
    std::optional<QStringView> nonDigitRun() {
        skip();
        const qsizetype start = m_pos;
        while (m_pos < m_text.size()) {
            const CodePoint cp = codePointAt(m_text, m_pos);
            if (isDigit(cp.value))
                break;
            m_pos += cp.width;
        }
        if (m_pos == start)
            return std::nullopt;
        return m_text.sliced(start, m_pos - start);
    }

    // The whole digit run, valued in base 10 and saturated at the 64-bit
    // limit; digits of any script count by their decimal value.
    std::int64_t number() {
        skip();
        constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
        std::int64_t value = 0;
        while (m_pos < m_text.size()) {
            const CodePoint cp = codePointAt(m_text, m_pos);
            if (!isDigit(cp.value))
                break;
            m_pos += cp.width;
            const int digit = QChar::digitValue(cp.value);
            value = value > (max - digit) / 10 ? max : value * 10 + digit;
        }
        return value;
    }

private:
    void skip() {
        while (m_pos < m_text.size()) {
            const CodePoint cp = codePointAt(m_text, m_pos);
            if (!isPassedOver(cp.value))
                return;
            m_pos += cp.width;
        }
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

int compareCodePoints(QStringView a, QStringView b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const CodePoint x = codePointAt(a, i);
        const CodePoint y = codePointAt(b, j);
        if (x.value != y.value)
            return x.value < y.value ? -1 : 1;
        i += x.width;
        j += y.width;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

// Case-sensitive, not localized, by character value; canonically equivalent
// sequences (precomposed and decomposed letters) compare the same.
int plainCompare(QStringView a, QStringView b) {
    if (a == b)
        return 0;
    const QString da = a.toString().normalized(QString::NormalizationForm_D);
    const QString db = b.toString().normalized(QString::NormalizationForm_D);
    return compareCodePoints(da, db);
}

} // namespace

int numericalCompare(const QString &receiver, const QString &argument) {
    Cursor r(receiver);
    Cursor a(argument);
    while (!r.atEnd() && !a.atEnd()) {
        const std::optional<QStringView> rRun = r.nonDigitRun();
        const std::optional<QStringView> aRun = a.nonDigitRun();
        if (rRun && !aRun)
            return 1;
        if (!rRun && aRun)
            return -1;
        if (rRun && aRun) {
            if (const int c = plainCompare(*rRun, *aRun); c != 0)
                return c;
        }

        const bool rEnded = r.atEnd();
        const bool aEnded = a.atEnd();
        if (rEnded)
            return aEnded ? 0 : -1;
        if (aEnded)
            return 1;

        const std::int64_t rNumber = r.number();
        const std::int64_t aNumber = a.number();
        if (rNumber != aNumber)
            return rNumber < aNumber ? -1 : 1;
    }
    const bool rEnded = r.atEnd();
    const bool aEnded = a.atEnd();
    if (rEnded == aEnded)
        return 0;
    return rEnded ? -1 : 1;
}

} // namespace pelorin
