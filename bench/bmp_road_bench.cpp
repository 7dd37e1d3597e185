// The road of one large picture (an 8000 x 6000 24-bit file): Load, Draw onto a 32-bit surface
// and WriteBmpFile, each alone and all together, against a floor program that reads the whole
// file, converts its rows to 32 bits and writes the result safely; and the streaming road (the
// batch run's, with its text) against the streaming floor. Prints the ratios at the end.

#include "batch/stream_road.h"
#include "batch/text_anchor.h"
#include "bench/floor.h"
#include "image/bmp_writer.h"
#include "image/dib_image.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr int kWidth = 8000;
constexpr int kHeight = 6000;

QTemporaryDir &Dir()
{
    static QTemporaryDir dir;
    return dir;
}

QString InputPath()
{
    return Dir().filePath("input.bmp");
}

QString OutputPath()
{
    return Dir().filePath("output.bmp");
}

// A 24-bit picture written once for the whole run.
void MakeInput()
{
    Surface s(kWidth, kHeight, 24);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t *row = s.Row(y);
        for (std::size_t i = 0; i < std::size_t(kWidth) * 3; ++i)
            row[i] = std::uint8_t(i * 7 + std::size_t(y) * 3);
    }
    if (!WriteBmpFile(s, InputPath(), kWidth, kHeight))
        std::abort();
}

double g_roadSeconds = 0, g_floorSeconds = 0, g_syncedFloorSeconds = 0;
double g_streamSeconds = 0, g_streamFloorSeconds = 0;

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_Load(benchmark::State &state)
{
    for (auto _ : state) {
        DibImage image;
        if (!image.Load(InputPath()))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.GetBits());
    }
}

void BM_Draw(benchmark::State &state)
{
    DibImage image;
    image.Load(InputPath());
    Surface surface(kWidth, kHeight, 32);
    for (auto _ : state) {
        image.Draw(surface);
        benchmark::DoNotOptimize(surface.Bits());
    }
}

void BM_Write(benchmark::State &state)
{
    DibImage image;
    image.Load(InputPath());
    Surface surface(kWidth, kHeight, 32);
    image.Draw(surface);
    for (auto _ : state)
        if (!WriteBmpFile(surface, OutputPath(), kWidth, kHeight))
            state.SkipWithError("write failed");
}

void BM_Road(benchmark::State &state)
{
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        DibImage image;
        image.Load(InputPath());
        Surface surface(image.GetWidth(), image.GetHeight(), 32);
        image.Draw(surface);
        if (!WriteBmpFile(surface, OutputPath(), image.GetWidth(), image.GetHeight()))
            state.SkipWithError("write failed");
        total += Seconds(start);
    }
    g_roadSeconds = total / double(state.iterations());
}

// The floor, safe (synced temporary renamed over the target, as the writer replaces files) and,
// for reference, plain.
void Floor(benchmark::State &state, bool safe)
{
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!FloorConvert(InputPath(), OutputPath(), safe))
            state.SkipWithError("floor failed");
        total += Seconds(start);
    }
    (safe ? g_syncedFloorSeconds : g_floorSeconds) = total / double(state.iterations());
}

void BM_Floor(benchmark::State &state)
{
    Floor(state, false);
}

void BM_FloorSynced(benchmark::State &state)
{
    Floor(state, true);
}

// The batch run's road: text at the bottom-right corner, the file written through a synced
// temporary, without holding the picture.
void BM_StreamRoad(benchmark::State &state)
{
    TextStyle style;
    style.text = QStringLiteral("Velmora 测试 2026");
    style.font.lfHeight = -48;
    style.alpha = 128;
    const TextPlacement place = [](std::int32_t w, std::int32_t h, SIZE box) {
        return AnchorPosition(TextAnchor::BottomRight, w, h, box.cx, box.cy, 0);
    };
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!StreamStampFile(InputPath(), OutputPath(), style, place).ok)
            state.SkipWithError("stream road failed");
        total += Seconds(start);
    }
    g_streamSeconds = total / double(state.iterations());
}

void BM_FloorStreaming(benchmark::State &state)
{
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!FloorConvertStreaming(InputPath(), OutputPath()))
            state.SkipWithError("floor failed");
        total += Seconds(start);
    }
    g_streamFloorSeconds = total / double(state.iterations());
}

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Draw)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_FloorSynced)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Road)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_FloorStreaming)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_StreamRoad)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the streaming road draws text
    benchmark::Initialize(&argc, argv);
    MakeInput();
    benchmark::RunSpecifiedBenchmarks();
    if (g_syncedFloorSeconds > 0 && g_roadSeconds > 0)
        std::printf("road %.1f ms, floor %.1f ms, road / floor = %.2f (goal: at most 1.5)\n",
                    g_roadSeconds * 1e3, g_syncedFloorSeconds * 1e3,
                    g_roadSeconds / g_syncedFloorSeconds);
    if (g_floorSeconds > 0 && g_roadSeconds > 0)
        std::printf("for reference, floor without fsync %.1f ms, road / that = %.2f\n",
                    g_floorSeconds * 1e3, g_roadSeconds / g_floorSeconds);
    if (g_streamSeconds > 0 && g_streamFloorSeconds > 0)
        std::printf("stream road %.1f ms, streaming floor %.1f ms, stream road / floor = %.2f "
                    "(goal: at most 1.15)\n",
                    g_streamSeconds * 1e3, g_streamFloorSeconds * 1e3,
                    g_streamSeconds / g_streamFloorSeconds);
    benchmark::Shutdown();
    return 0;
}
