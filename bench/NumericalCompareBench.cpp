#include "util/NumericalCompare.h"

#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>

#include <random>
#include <utility>
#include <vector>

namespace {

// Names as a recordings table holds them: recorder file names that differ in
// their counters and times, transect labels, and some with non-ASCII letters.
std::vector<std::pair<QString, QString>> pairs() {
    std::mt19937_64 rng(7);
    auto number = [&](int limit) { return static_cast<int>(rng() % static_cast<unsigned>(limit)); };
    const QStringList stems = {"PEL_", "Transekt ", "rec", "Fläche 3 – Punkt ", "IMG_2024", "bat-"};
    auto name = [&] {
        const QString &stem = stems[number(static_cast<int>(stems.size()))];
        return stem + QString::number(number(100000)) + QStringLiteral("_") + QString::number(number(1000)) +
               QStringLiteral(".wav");
    };
    std::vector<std::pair<QString, QString>> out;
    for (int i = 0; i < 10'000; ++i) {
        QString a = name();
        // A third share the stem and differ only in the numbers: the usual case when sorting.
        QString b = i % 3 == 0 ? a.left(a.indexOf('_') + 1) + QString::number(number(1000)) + ".wav" : name();
        out.emplace_back(std::move(a), std::move(b));
    }
    return out;
}

void BM_numericalCompare(benchmark::State &state) {
    static const auto input = pairs();
    for (auto _ : state) {
        int sum = 0;
        for (const auto &[a, b] : input) {
            sum += pelorin::numericalCompare(a, b);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}
BENCHMARK(BM_numericalCompare)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
