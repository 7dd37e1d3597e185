#include "app/dialog_builder.h"
#include "overlay/text_preview.h"
#include "res/text_properties_template.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

namespace {

// The preview box in pixels, converted from the template's dialog units as the dialog is built.
QSize PreviewBoxSize()
{
    const DialogTemplate &t = textprops::Template();
    for (const ControlTemplate &control : t.controls) {
        if (control.id == textprops::kPreviewBox)
            return DialogUnitsToPixels(control.rect, BaseUnitsFor(DialogFont(t))).size();
    }
    return {};
}

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
    const QSize box = PreviewBoxSize();
    for (auto _ : state) {
        Surface background(box.width(), box.height());
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
    const QSize box = PreviewBoxSize();
    state.counters["box_width"] = box.width();
    state.counters["box_height"] = box.height();
    for (auto _ : state) {
        // Made afresh each time, as the dialog does at every notification.
        Surface background(box.width(), box.height());
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
