// Load + roll-over + save of large data files, loads of small ones, and the roll-over beside its
// literal form.
//   cmake -DTESSALY_BENCHMARKS=ON -DCMAKE_BUILD_TYPE=Release ... && ./core/bench/rollover_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "core/data_file.h"
#include "core/occurrence.h"

namespace tessaly {
namespace {

constexpr DateKey kToday = 20261208;

// Mixed frequencies, dates from about a year back to a year ahead: most entries past due.
ReminderData MakeData(int n) {
    std::mt19937 rng(static_cast<unsigned>(n));
    std::uniform_int_distribution<int> offset(-400, 300), freq(1, 5), period(1, 6), kind(1, 5);
    const std::int64_t base = DaysFromCivil(2026, 12, 8);
    ReminderData data;
    std::vector<Reminder>& list = data.current.entries();
    list.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        Reminder r;
        const CivilDate c = CivilFromDays(base + offset(rng));
        r.date = MakeDateKey(c.year, c.month, c.day);
        r.kind = static_cast<std::uint8_t>(kind(rng));
        r.frequency = static_cast<std::uint8_t>(freq(rng));
        r.period = static_cast<std::uint8_t>(period(rng));
        r.SetDescription("benchmark reminder " + std::to_string(i));
        list.push_back(r);
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const Reminder& a, const Reminder& b) { return a.date < b.date; });
    return data;
}

void BM_LoadRollOverSave(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "tessaly-bench";
    std::filesystem::create_directories(dir);
    const auto source = dir / ("source-" + std::to_string(state.range(0)) + ".tsy");
    const auto target = dir / "target.tsy";
    const ReminderData seed = MakeData(static_cast<int>(state.range(0)));
    if (!SaveReminderFile(source, seed, kEditorLabel)) state.SkipWithError("cannot write");
    for (auto _ : state) {
        ReminderData data;
        LoadReminderFile(source, data);
        RollOver(data.current, data.archive, kToday,
                 [&] { SaveReminderFile(target, data, kEditorLabel); });
        SaveReminderFile(target, data, kEditorLabel);
        benchmark::DoNotOptimize(data.current.count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadRollOverSave)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// What every start of the editor, notifier pass and tsy command pays: a file of a few reminders,
// from disk and (as the notifier reads it) from memory.
void BM_LoadSmall(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "tessaly-bench";
    std::filesystem::create_directories(dir);
    const auto path = dir / ("small-" + std::to_string(state.range(0)) + ".tsy");
    const ReminderData seed = MakeData(static_cast<int>(state.range(0)));
    if (!SaveReminderFile(path, seed, kEditorLabel)) state.SkipWithError("cannot write");
    for (auto _ : state) {
        ReminderData data;
        LoadReminderFile(path, data);
        benchmark::DoNotOptimize(data.current.count());
    }
}
BENCHMARK(BM_LoadSmall)->Arg(0)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_DecodeSmall(benchmark::State& state) {
    const std::vector<std::uint8_t> bytes =
        EncodeReminderFile(MakeData(static_cast<int>(state.range(0))), kEditorLabel);
    for (auto _ : state) {
        const ReminderData data = DecodeReminderFile(bytes);
        benchmark::DoNotOptimize(data.current.count());
    }
}
BENCHMARK(BM_DecodeSmall)->Arg(0)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

template <void (*Advance)(ReminderList&, DateKey)>
void BM_Advance(benchmark::State& state) {
    const ReminderData seed = MakeData(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        ReminderList current = seed.current;
        state.ResumeTiming();
        Advance(current, kToday);
        benchmark::DoNotOptimize(current.count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Advance<AdvancePastReminders>)
    ->Name("BM_AdvanceFast")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Advance<AdvancePastRemindersStepByStep>)
    ->Name("BM_AdvanceStepByStep")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(30000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessaly

BENCHMARK_MAIN();
