// Two texts into numericalCompare. It sorts table columns, so it must be a
// consistent order: -1, 0 or 1, reflexive, antisymmetric, and blind to
// whitespace in front of a text (the cursors pass over it).
#include "FuzzCheck.h"
#include "util/NumericalCompare.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

namespace {

QString text(FuzzedDataProvider &in) {
    const std::string bytes = in.ConsumeRandomLengthString(256);
    if (!in.ConsumeBool())
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // Raw UTF-16 code units: lone surrogates and every category included.
    std::u16string units(bytes.size() / 2, u'\0');
    std::memcpy(units.data(), bytes.data(), units.size() * sizeof(char16_t));
    return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
}

constexpr char16_t kSkipped[] = {u' ', u'\t', u'\n', u'\r', u'\u0085', u'\u00a0', u'\u2028', u'\u3000'};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const QChar blank(kSkipped[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kSkipped) - 1)]);
    const QString a = text(in);
    const QString b = text(in);

    const int ab = pelorin::numericalCompare(a, b);
    PELORIN_FUZZ_CHECK(ab == -1 || ab == 0 || ab == 1);
    PELORIN_FUZZ_CHECK(pelorin::numericalCompare(b, a) == -ab);
    PELORIN_FUZZ_CHECK(pelorin::numericalCompare(a, a) == 0);
    PELORIN_FUZZ_CHECK(pelorin::numericalCompare(blank + a, b) == ab);
    return 0;
}
