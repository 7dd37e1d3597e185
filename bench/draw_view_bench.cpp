// The picture view's redraw during a drag: a 1000 x 700 view over an 8000 x 6000 picture and
// over an 800 x 600 one, side by side, with the ratio of their costs and the redraw rate.
#include "overlay/picture_view_renderer.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kViewWidth = 1000;
constexpr int kViewHeight = 700;

void Put16(std::vector<std::uint8_t> &b, unsigned v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t> &b, unsigned v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A 24-bit BMP file of a colour ramp.
std::vector<std::uint8_t> MakeBmp(int width, int height)
{
    const unsigned stride = (unsigned(width) * 3 + 3) & ~3u;
    const unsigned size = 54 + stride * unsigned(height);
    std::vector<std::uint8_t> b;
    b.reserve(size);
    b.push_back('B');
    b.push_back('M');
    Put32(b, size);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, unsigned(width));
    Put32(b, unsigned(height));
    Put16(b, 1);
    Put16(b, 24);
    for (int i = 0; i < 6; ++i)
        Put32(b, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.push_back(std::uint8_t(x));
            b.push_back(std::uint8_t(y));
            b.push_back(std::uint8_t(x + y));
        }
        b.resize(b.size() + (stride - unsigned(width) * 3));
    }
    return b;
}

void DragRedraw(benchmark::State &state)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    DibImage image;
    const std::vector<std::uint8_t> file = MakeBmp(width, height);
    if (!image.LoadFromBytes(file, QStringLiteral("bench.bmp"))) {
        state.SkipWithError("picture not loaded");
        return;
    }
    TextStyle style;
    style.text = QStringLiteral("Velmora 测试 2026");
    style.font.lfHeight = -48;
    style.alpha = 128;
    style.x = 100;
    style.y = 100;
    style.selected = 1;
    style.dragging = 1;
    style.dragStart = {120, 120};
    PictureViewRenderer renderer;
    Surface view(kViewWidth, kViewHeight);
    const int h = std::max(0, width - kViewWidth) / 2;
    const int v = std::max(0, height - kViewHeight) / 2;
    renderer.Render(image, style, h, v, view); // the picture is drawn once, at the first redraw
    int step = 0;
    for (auto _ : state) {
        style.dragCurrent = {120 + step % 200, 120 + step % 150};
        ++step;
        renderer.Render(image, style, h, v, view);
        benchmark::DoNotOptimize(view.Bits());
    }
    state.counters["redraws_per_s"]
        = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(DragRedraw)->Args({8000, 6000})->Args({800, 600})->Unit(benchmark::kMillisecond);

// Keeps the time per redraw of each picture size, to print their ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (!run.error_occurred)
                m_seconds[run.benchmark_name()]
                    = run.real_accumulated_time / double(run.iterations);
    }
    std::map<std::string, double> m_seconds;
};

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text drawing needs it
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto big = reporter.m_seconds.find("DragRedraw/8000/6000");
    const auto small = reporter.m_seconds.find("DragRedraw/800/600");
    if (big != reporter.m_seconds.end() && small != reporter.m_seconds.end()) {
        std::printf("8000x6000 / 800x600 cost ratio: %.2f (goal <= 2)\n",
                    big->second / small->second);
        std::printf("redraws per second on 8000x6000: %.0f (goal >= 120)\n", 1.0 / big->second);
    }
    benchmark::Shutdown();
    return 0;
}
