#include "overlay/text_preview.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

namespace {

// The preview box as the dialog shows it: 296 x 79 dialog units at the dialog font's base
// units.
constexpr int kPreviewWidth = 518;
constexpr int kPreviewHeight = 138;

// Time per redraw as a share of the 4 ms that a slider notification may take.
void ReportShareOfGoal(benchmark::State &state)
{
    constexpr double kGoalSeconds = 0.004;
    state.counters["share_of_4ms"]
        = benchmark::Counter(double(state.iterations()) * kGoalSeconds,
                             benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The grid alone, to show what the text's composition adds.
void BM_PreviewGridOnly(benchmark::State &state)
{
    for (auto _ : state) {
        Surface background(kPreviewWidth, kPreviewHeight);
        DrawPreviewGrid(background);
        benchmark::DoNotOptimize(background.Bits());
    }
    ReportShareOfGoal(state);
}

void RunPreview(benchmark::State &state, std::uint8_t bgTransparent)
{
    TextStyle style;
    style.font.lfHeight = -48;
    style.text = QString::fromUtf8("文字预览 quon");
    style.alpha = 128;
    style.bgTransparent = bgTransparent;
    for (auto _ : state) {
        // Made afresh each time, as the dialog does at every notification.
        Surface background(kPreviewWidth, kPreviewHeight);
        benchmark::DoNotOptimize(RenderPreview(background, style));
    }
    ReportShareOfGoal(state);
}

void BM_RedrawPreviewTransparent(benchmark::State &state)
{
    RunPreview(state, 1);
}
void BM_RedrawPreviewOpaque(benchmark::State &state)
{
    RunPreview(state, 0);
}

BENCHMARK(BM_PreviewGridOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawPreviewTransparent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawPreviewOpaque)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
