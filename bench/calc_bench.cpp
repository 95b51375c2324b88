// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation without a window: a whole press on an in-memory form, and
// the pieces it is made of.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <span>
#include <vector>

#include "calc/check/plan_check.h"
#include "calc/check/settings_search.h"
#include "calc/hearing/simulation.h"
#include "calc/numbers/leading_number.h"
#include "calc/numbers/number_format.h"
#include "calc/transmission/message.h"
#include "calc/transmission/minute.h"
#include "calc/tuning/beacon.h"
#include "calc/tuning/calculation_run.h"
#include "calc/tuning/tuning.h"

namespace {

using namespace jt4dds;

void runOn(benchmark::State& state, Beacon& form) {
    for (auto _ : state) {
        Press outcome = calculate(form);
        benchmark::DoNotOptimize(outcome);
    }
}

void BM_RunInitialValues(benchmark::State& state) {
    Beacon form;
    runOn(state, form);
}
BENCHMARK(BM_RunInitialValues);

void BM_RunReference300(benchmark::State& state) {
    Beacon form;
    form.text(Input::Reference) = "300";
    runOn(state, form);
}
BENCHMARK(BM_RunReference300);

// A press and its plan check, as the window and jt4dds-cli do it: a sound
// plan, and one whose every row is over the limit (the check then proves its
// fixes by recomputing rows).
void pressAndCheck(benchmark::State& state, Beacon& form) {
    for (auto _ : state) {
        Press outcome = calculate(form);
        std::vector<Finding> findings = checkPlan(outcome);
        benchmark::DoNotOptimize(findings);
    }
}
void BM_PressAndCheckReference300(benchmark::State& state) {
    Beacon form;
    form.text(Input::Reference) = "300";
    pressAndCheck(state, form);
}
BENCHMARK(BM_PressAndCheckReference300);
void BM_PressAndCheckInitialValues(benchmark::State& state) {
    Beacon form;
    pressAndCheck(state, form);
}
BENCHMARK(BM_PressAndCheckInitialValues);

void BM_RunPi4Reverse(benchmark::State& state) {
    Beacon form;
    form.text(Input::OutputFrequency) = "144.4";
    form.text(Input::Multiplication) = "1";
    form.text(Input::Reference) = "10";
    form.pick(Selector::JTMode) = Pick::item(7);
    form.pick(Selector::Config) = Pick::item(1);
    runOn(state, form);
}
BENCHMARK(BM_RunPi4Reverse);

void BM_LeadingNumber(benchmark::State& state) {
    const char* texts[] = {"2320.1", "24", " 1 2 7 0 ", "1.5e-3MHz"};
    for (auto _ : state)
        for (const char* text : texts) benchmark::DoNotOptimize(LeadingNumber(text));
    state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(BM_LeadingNumber);

void BM_OneRow(benchmark::State& state) {
    TonePlan plan = dataTones(9, false);
    plan.hz[kReferenceTone] = 1270;
    const double carrier = 2320.1e6 / 24;
    for (auto _ : state) benchmark::DoNotOptimize(computeRow(0, plan, carrier, 24, 300e6, DdsConfig::Direct));
}
BENCHMARK(BM_OneRow);

void BM_ListingPatterns(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatNumber(300.0, NumberPattern::Megahertz, "."));
        benchmark::DoNotOptimize(formatNumber(2320.0999414062498, NumberPattern::OutputMegahertz, "."));
        benchmark::DoNotOptimize(formatNumber(0.8381903171539307, NumberPattern::Hertz, "."));
        benchmark::DoNotOptimize(formatNumber(2320.09873, NumberPattern::CarrierMegahertz, "."));
    }
    state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(BM_ListingPatterns);

// The settings search: pairs judged per second (items per second), against a
// plain loop over the same pairs that only computes the eight words.
std::vector<CandidateValue> listOf(std::string_view text) { return std::get<0>(parseCandidateList(text)); }

void BM_SearchDefault(benchmark::State& state) {
    const Beacon beacon;
    const auto mults = listOf(kDefaultMultiplications);
    const auto refs = listOf(kDefaultReferencesMHz);
    for (auto _ : state) {
        SearchResult result = findSettings(beacon, mults, refs);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * mults.size() * refs.size()));
}
BENCHMARK(BM_SearchDefault)->Unit(benchmark::kMillisecond);

void BM_SearchBaselineWordsOnly(benchmark::State& state) {
    Beacon beacon;
    const Press typed = calculate(beacon);
    const auto mults = listOf(kDefaultMultiplications);
    const auto refs = listOf(kDefaultReferencesMHz);
    const TonePlan& plan = typed.figures.plan;
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (const auto& m : mults) {
            const double carrier = typed.figures.foutHz / m.value;
            for (const auto& r : refs)
                for (int row = 0; row < kToneCount; ++row) {
                    const auto result =
                        computeRow(row, plan, carrier, m.value, r.value * kMegahertz, DdsConfig::Direct);
                    if (const auto* ok = std::get_if<RowResult>(&result)) sum += ok->word;
                }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * mults.size() * refs.size()));
}
BENCHMARK(BM_SearchBaselineWordsOnly)->Unit(benchmark::kMillisecond);

// A message to its channel symbols: a standard JT4 message, JT4 free text and PI4.
void BM_EncodeJt4Standard(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(encodeJt4("CQ K1ABC FN42"));
}
BENCHMARK(BM_EncodeJt4Standard)->Unit(benchmark::kMicrosecond);
void BM_EncodeJt4FreeText(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(encodeJt4("TNX 73 DE OZ7"));
}
BENCHMARK(BM_EncodeJt4FreeText)->Unit(benchmark::kMicrosecond);
void BM_EncodePi4(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(encodePi4("OZ7IGY"));
}
BENCHMARK(BM_EncodePi4)->Unit(benchmark::kMicrosecond);

// The whole transmission of a PI4 beacon: the message encoded, the minute
// planned with its CW identification, the timer counts checked.
void BM_PlanTransmissionPi4(benchmark::State& state) {
    Beacon beacon;
    beacon.mode = Pick::item(7);
    beacon.message = "OZ7IGY";
    beacon.cwId = "OZ7IGY JO55";
    beacon.timerHz = "1000000";
    for (auto _ : state) benchmark::DoNotOptimize(planTransmission(beacon));
}
BENCHMARK(BM_PlanTransmissionPi4)->Unit(benchmark::kMicrosecond);

// The minute as a receiver hears it, 60 s at 12 kHz with noise at -22 dB:
// what --format wav computes before writing.
void BM_SimulateMinuteNoisy(benchmark::State& state) {
    Beacon beacon;
    beacon.text(Input::Reference) = "300";
    beacon.message = "CQ K1ABC FN42";
    const Press press = calculate(beacon);
    for (auto _ : state) benchmark::DoNotOptimize(hearMinute(press, Noise{-22.0, 1}));
}
BENCHMARK(BM_SimulateMinuteNoisy)->Unit(benchmark::kMillisecond);

// A minute's noise alone: the 720,000 draws of the noisy minute above, a
// block at a time, as the minute takes them.
void BM_MinuteOfNoise(benchmark::State& state) {
    std::vector<double> block(4096, 0.0);
    for (auto _ : state) {
        GaussianNoise noise(1);
        for (std::size_t done = 0; done < kMinuteSamples; done += block.size())
            noise.addTo(std::span(block).first(std::min(block.size(), kMinuteSamples - done)), 1.0);
        benchmark::DoNotOptimize(block.data());
    }
}
BENCHMARK(BM_MinuteOfNoise)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
