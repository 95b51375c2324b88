// SPDX-License-Identifier: GPL-3.0-or-later
// The window against its floor, offscreen: construction and show until the
// first paint, and a click of "Calculate" until the results box has repainted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "bench/baseline_window.h"
#include "calc/hearing/simulation.h"
#include "window/main_window.h"
#include "window/waterfall.h"

namespace {

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QObject* watched) { watched->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void processUntilPainted(const PaintCounter& counter, int before) {
    while (counter.paints == before) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

template <class Window>
void firstPaint(benchmark::State& state) {
    for (auto _ : state) {
        auto window = std::make_unique<Window>();
        PaintCounter counter(window.get());
        window->show();
        processUntilPainted(counter, 0);
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_BaselineFirstPaint(benchmark::State& state) { firstPaint<jt4dds::bench::BaselineWindow>(state); }
BENCHMARK(BM_BaselineFirstPaint)->Unit(benchmark::kMicrosecond);

void BM_WindowFirstPaint(benchmark::State& state) { firstPaint<jt4dds::MainWindow>(state); }
BENCHMARK(BM_WindowFirstPaint)->Unit(benchmark::kMicrosecond);

void BM_CalculateClickToRepaint(benchmark::State& state) {
    jt4dds::MainWindow window(".");
    window.findChild<QWidget*>(QStringLiteral("Fref"))->setProperty("text", QStringLiteral("300"));
    auto* results = window.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    auto* calculate = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    PaintCounter counter(results->viewport());
    window.show();
    processUntilPainted(counter, 0);
    for (auto _ : state) {
        const int before = counter.paints;
        calculate->click();
        processUntilPainted(counter, before);
    }
}
BENCHMARK(BM_CalculateClickToRepaint)->Unit(benchmark::kMicrosecond);

// The Transmission view's picture: the noisy minute simulated and its
// waterfall computed (240 transforms), as an edit of the message redraws it.
void BM_HearAndDrawWaterfall(benchmark::State& state) {
    using namespace jt4dds;
    Beacon beacon;
    beacon.text(Input::Reference) = "300";
    beacon.message = "CQ K1ABC FN42";
    const Press press = calculate(beacon);
    for (auto _ : state) {
        const auto heard = hearMinute(press, Noise{-22.0, 1});
        const AudioSpan span = heardSpan(heard->parts);
        benchmark::DoNotOptimize(spectrogramOf(heard->samples, span.lowHz, span.highHz));
    }
}
BENCHMARK(BM_HearAndDrawWaterfall)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
