#include "overlay/text_preview.h"
#include "overlay/text_properties_dialog.h"
#include "res/text_properties_template.h"
#include "ui/dialog_builder.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <chrono>

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

TextStyle PreviewStyle(std::uint8_t bgTransparent)
{
    TextStyle style;
    style.font.lfHeight = -48;
    style.text = QString::fromUtf8("文字预览 quon");
    style.alpha = 128;
    style.bgTransparent = bgTransparent;
    return style;
}

// Runs body once per iteration and reports the time per run as a share of the 4 ms that one
// slider notification may take (1.0 would be the whole budget).
template<typename Body>
void TimeAgainstGoal(benchmark::State &state, Body body)
{
    constexpr double kGoalSeconds = 0.004;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        body();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.counters["share_of_4ms"] = elapsed.count()
        / double(std::max<benchmark::IterationCount>(1, state.iterations())) / kGoalSeconds;
}

// The grid alone, to show what the text's composition adds.
void BM_PreviewGridOnly(benchmark::State &state)
{
    const QSize box = PreviewBoxSize();
    TimeAgainstGoal(state, [&] {
        Surface background(box.width(), box.height());
        DrawPreviewGrid(background);
        benchmark::DoNotOptimize(background.Bits());
    });
}

// The preview's pixels, made afresh each time as the dialog does at every notification.
void RunPreview(benchmark::State &state, std::uint8_t bgTransparent)
{
    const TextStyle style = PreviewStyle(bgTransparent);
    const QSize box = PreviewBoxSize();
    state.counters["box_width"] = box.width();
    state.counters["box_height"] = box.height();
    TimeAgainstGoal(state, [&] {
        Surface background(box.width(), box.height());
        benchmark::DoNotOptimize(RenderPreview(background, style));
    });
}

void BM_RedrawPreviewTransparent(benchmark::State &state)
{
    RunPreview(state, 1);
}
void BM_RedrawPreviewOpaque(benchmark::State &state)
{
    RunPreview(state, 0);
}

// The dialog's whole redraw: both swatches, the preview, and painting the three into the
// shown dialog.
void BM_DialogRedrawPreview(benchmark::State &state)
{
    TextPropertiesDialog dialog;
    dialog.SetStyle(PreviewStyle(0));
    dialog.show();
    QApplication::processEvents();
    TimeAgainstGoal(state, [&] { dialog.RedrawPreview(); });
}

BENCHMARK(BM_PreviewGridOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawPreviewTransparent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawPreviewOpaque)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DialogRedrawPreview)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
