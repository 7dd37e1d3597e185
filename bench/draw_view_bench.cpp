// The picture view's redraw during a drag: a 1000 x 700 view over an 8000 x 6000 picture and
// over an 800 x 600 one, side by side, with the ratio of their costs and the redraw rate.
#include "image/bmp_writer.h"
#include "overlay/picture_view_renderer.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kViewWidth = 1000;
constexpr int kViewHeight = 700;

// A 24-bit BMP file of a colour ramp, written by the program's own writer.
bool MakeBmp(const QString &path, int width, int height)
{
    Surface ramp(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ramp.SetPixel(x, y, RGB(std::uint8_t(x + y), std::uint8_t(y), std::uint8_t(x)));
    return WriteBmpFile(ramp, path, width, height);
}

void DragRedraw(benchmark::State &state)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    DibImage image;
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.bmp"));
    if (!MakeBmp(path, width, height) || !image.Load(path)) {
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
