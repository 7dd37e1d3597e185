// The road of one large picture (an 8000 x 6000 24-bit file): Load, Draw onto a 32-bit surface
// and WriteBmpFile, each alone and all together, against a floor program that reads the whole
// file, converts its rows to 32 bits and writes the result. Prints road / floor at the end.

#include "image/bmp_writer.h"
#include "image/dib_image.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
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

double g_roadSeconds = 0, g_floorSeconds = 0;

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

// The least any program can do: one read, one conversion pass, one write.
void BM_Floor(benchmark::State &state)
{
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QFile in(InputPath());
        in.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        std::vector<std::uint8_t> file(std::size_t(in.size()));
        in.read(reinterpret_cast<char *>(file.data()), qint64(file.size()));
        const std::size_t inStride = (std::size_t(kWidth) * 3 + 3) & ~std::size_t(3);
        std::vector<std::uint8_t> out(54 + std::size_t(kWidth) * 4 * kHeight);
        std::memcpy(out.data(), file.data(), 54);
        for (int y = 0; y < kHeight; ++y) {
            const std::uint8_t *s = file.data() + 54 + std::size_t(y) * inStride;
            std::uint8_t *d = out.data() + 54 + std::size_t(y) * kWidth * 4;
            for (int x = 0; x < kWidth; ++x) {
                d[4 * x] = s[3 * x];
                d[4 * x + 1] = s[3 * x + 1];
                d[4 * x + 2] = s[3 * x + 2];
                d[4 * x + 3] = 0;
            }
        }
        QFile result(OutputPath());
        result.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        result.write(reinterpret_cast<const char *>(out.data()), qint64(out.size()));
        result.close();
        total += Seconds(start);
    }
    g_floorSeconds = total / double(state.iterations());
}

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Draw)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Road)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    MakeInput();
    benchmark::RunSpecifiedBenchmarks();
    if (g_floorSeconds > 0 && g_roadSeconds > 0)
        std::printf("road %.1f ms, floor %.1f ms, road / floor = %.2f (goal: at most 1.5)\n",
                    g_roadSeconds * 1e3, g_floorSeconds * 1e3, g_roadSeconds / g_floorSeconds);
    benchmark::Shutdown();
    return 0;
}
