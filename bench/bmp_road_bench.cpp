// The road of one large picture (an 8000 x 6000 24-bit file): Load, Draw onto a 32-bit surface
// and WriteBmpFile, each alone and all together, against a floor program that reads the whole
// file, converts its rows to 32 bits and writes the result. Prints road / floor at the end.

#include "image/bmp_writer.h"
#include "image/dib_image.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <vector>

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

// The least any program can do: one read, one conversion pass, one write. The synced form also
// puts the file on disk before closing it, as replacing a file safely must (QSaveFile does).
void Floor(benchmark::State &state, bool synced)
{
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QFile in(InputPath());
        in.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        const auto size = std::size_t(in.size());
        std::unique_ptr<std::uint8_t[]> file(new std::uint8_t[size]);
        in.read(reinterpret_cast<char *>(file.get()), qint64(size));
        const std::size_t inStride = (std::size_t(kWidth) * 3 + 3) & ~std::size_t(3);
        const std::size_t outStride = std::size_t(kWidth) * 4;
        // Converted rows go out in chunks of about a megabyte, as the writer does.
        const int rowsPerChunk = int((1u << 20) / outStride) + 1;
        std::vector<std::uint8_t> chunk(outStride * std::size_t(rowsPerChunk));
        QFile result(OutputPath());
        result.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        result.write(reinterpret_cast<const char *>(file.get()), 54);
        for (int y0 = 0; y0 < kHeight; y0 += rowsPerChunk) {
            const int rows = std::min(rowsPerChunk, kHeight - y0);
            for (int r = 0; r < rows; ++r) {
                const std::uint8_t *s = file.get() + 54 + std::size_t(y0 + r) * inStride;
                std::uint8_t *d = chunk.data() + std::size_t(r) * outStride;
                for (int x = 0; x < kWidth; ++x) {
                    d[4 * x] = s[3 * x];
                    d[4 * x + 1] = s[3 * x + 1];
                    d[4 * x + 2] = s[3 * x + 2];
                    d[4 * x + 3] = 0;
                }
            }
            result.write(reinterpret_cast<const char *>(chunk.data()),
                         qint64(std::size_t(rows) * outStride));
        }
        if (synced)
            ::fsync(result.handle());
        result.close();
        total += Seconds(start);
    }
    (synced ? g_syncedFloorSeconds : g_floorSeconds) = total / double(state.iterations());
}

void BM_Floor(benchmark::State &state)
{
    Floor(state, false);
}

void BM_FloorSynced(benchmark::State &state)
{
    Floor(state, true);
}

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Draw)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_FloorSynced)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Road)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    MakeInput();
    benchmark::RunSpecifiedBenchmarks();
    if (g_floorSeconds > 0 && g_roadSeconds > 0)
        std::printf("road %.1f ms, floor %.1f ms, road / floor = %.2f (goal: at most 1.5)\n",
                    g_roadSeconds * 1e3, g_floorSeconds * 1e3, g_roadSeconds / g_floorSeconds);
    if (g_syncedFloorSeconds > 0 && g_roadSeconds > 0)
        std::printf("synced floor %.1f ms, road / synced floor = %.2f\n",
                    g_syncedFloorSeconds * 1e3, g_roadSeconds / g_syncedFloorSeconds);
    benchmark::Shutdown();
    return 0;
}
