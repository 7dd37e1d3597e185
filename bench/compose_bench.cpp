// Composing one text line costs what its box costs, not what the picture costs: the 8000 x 6000
// and the 800 x 600 surface are timed side by side and their ratio reported. The whole road of
// the command-line tool (load, compose, write) is timed against the shared floor, which only
// reads the file, widens its rows to 32 bits and writes them out safely.

#include "bench/floor.h"
#include "image/bmp_writer.h"
#include "image/dib_image.h"
#include "overlay/compose_text.h"

#include <QGuiApplication>
#include <QTemporaryDir>

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

// A 24-bit bottom-up file of w x h, written once for the road benchmarks.
QString LargeFile(const QTemporaryDir &dir, int w, int h)
{
    const QString path = dir.filePath(QStringLiteral("large.bmp"));
    Surface picture(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.SetPixel(x, y,
                             RGB(std::uint8_t(x * 7), std::uint8_t(y * 3), std::uint8_t(x ^ y)));
    return WriteBmpFile(picture, path, w, h) ? path : QString();
}

// The command-line tool's road for one file.
void Road(const QString &in, const QString &out)
{
    DibImage image;
    if (!image.Load(in))
        return;
    Surface picture(image.GetWidth(), image.GetHeight());
    image.Draw(picture);
    TextStyle style = Line();
    ComposeText(picture, style, 0);
    WriteBmpFile(picture, out, image.GetWidth(), image.GetHeight());
}

void BM_RoadVersusFloor(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString in = LargeFile(dir, 8000, 6000);
    if (in.isEmpty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    const QString out = dir.filePath(QStringLiteral("out.bmp"));
    double roadSeconds = 0, floorSeconds = 0, plainFloorSeconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        Road(in, out);
        roadSeconds
            += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        start = std::chrono::steady_clock::now();
        FloorConvert(in, out, true);
        floorSeconds
            += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        start = std::chrono::steady_clock::now();
        FloorConvert(in, out, false);
        plainFloorSeconds
            += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double n = double(state.iterations());
    state.counters["road_ms"] = roadSeconds / n * 1e3;
    state.counters["floor_ms"] = floorSeconds / n * 1e3;
    state.counters["ratio_road_to_floor"] = roadSeconds / floorSeconds;
    // For reference: the floor that overwrites in place without syncing.
    state.counters["plain_floor_ms"] = plainFloorSeconds / n * 1e3;
    state.counters["ratio_road_to_plain_floor"] = roadSeconds / plainFloorSeconds;
}
BENCHMARK(BM_RoadVersusFloor)->Unit(benchmark::kMillisecond)->Iterations(5);

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
