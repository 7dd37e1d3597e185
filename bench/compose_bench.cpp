// Composing one text line costs what its box costs, not what the picture costs: the 8000 x 6000
// and the 800 x 600 surface are timed side by side and their ratio reported.

#include "overlay/compose_text.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

Surface Picture(int w, int h)
{
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.SetPixel(x, y, RGB(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
    return s;
}

TextStyle Line()
{
    TextStyle style;
    style.text = QStringLiteral("Velmora 文字与图片合成 2026");
    style.font.lfHeight = -48;
    style.alpha = 160;
    style.bgTransparent = 0;
    style.x = 100;
    style.y = 200;
    return style;
}

double SecondsToCompose(Surface &target, TextStyle &style)
{
    const auto start = std::chrono::steady_clock::now();
    ComposeText(target, style, 0);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ComposeSmallVersusLarge(benchmark::State &state)
{
    Surface small = Picture(800, 600);
    Surface large = Picture(8000, 6000);
    TextStyle style = Line();
    double smallSeconds = 0, largeSeconds = 0;
    for (auto _ : state) {
        smallSeconds += SecondsToCompose(small, style);
        largeSeconds += SecondsToCompose(large, style);
    }
    const double n = double(state.iterations());
    state.counters["small_us"] = smallSeconds / n * 1e6;
    state.counters["large_us"] = largeSeconds / n * 1e6;
    state.counters["ratio_large_to_small"] = largeSeconds / smallSeconds;
}
BENCHMARK(BM_ComposeSmallVersusLarge)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

void BM_ComposeOnce(benchmark::State &state)
{
    Surface target = Picture(int(state.range(0)), int(state.range(1)));
    TextStyle style = Line();
    for (auto _ : state)
        ComposeText(target, style, 0);
}
BENCHMARK(BM_ComposeOnce)->Args({800, 600})->Args({8000, 6000})->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
