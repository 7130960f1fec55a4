// Overlay image costs on real desktop screenshots: the shading made once per
// capture, and the repaint of one box move.
// Usage: overlay_bench BENCH_DATA_DIR [--benchmark_...]
#include "overlay/overlayload.h"
#include "overlay/shading.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace quillcap;

namespace {

void shade(benchmark::State &state, const QImage &desktop) {
    DebugLog log;
    for (auto _ : state)
        benchmark::DoNotOptimize(Dark3(desktop, log));
    state.SetItemsProcessed(state.iterations() * desktop.width() * desktop.height());
}

// What the overlay repaints when the box moves by a few pixels, from the two
// images made at load into a backing store: the old and the new box
// (argument 2 = 0), or only the pixels that change (1).
void moveBox(benchmark::State &state, const QImage &bright) {
    DebugLog log;
    const QImage shaded = Dark3(bright, log);
    QImage backingStore(bright.size(), QImage::Format_RGB32);
    const QSize boxSize(state.range(0), state.range(1));
    const CaptureRegion start = DefaultCapBox(bright.size());
    QRect box(QPoint(start.x, start.y) - QPoint(boxSize.width() / 2, boxSize.height() / 2) +
                  QPoint(start.w / 2, start.h / 2),
              boxSize);
    int step = 7;
    for (auto _ : state) {
        const QRect moved = box.translated(step, step / 2);
        QPainter painter(&backingStore);
        const QRegion dirty =
            state.range(2) ? BoxChangeRegion(box, moved, 1) : QRegion(box) + moved;
        PaintOverlay(painter, dirty, shaded, bright, moved);
        box = moved;
        step = -step;
    }
}

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: overlay_bench BENCH_DATA_DIR [--benchmark_...]\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    int registered = 0;
    for (const char *size : {"1920x1080", "3840x2160"}) {
        const QString path =
            dir + QStringLiteral("/desktop-") + QLatin1String(size) + QStringLiteral(".png");
        const QImage desktop = QImage(path).convertToFormat(QImage::Format_RGB32);
        if (desktop.isNull()) {
            std::printf("overlay_bench: no screenshot at %s: its benchmarks are skipped\n",
                        qPrintable(path));
            continue;
        }
        benchmark::RegisterBenchmark((std::string("Dark3/") + size).c_str(), shade, desktop)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        ++registered;
        if (desktop.width() == 3840)
            benchmark::RegisterBenchmark("BoxMove/3840x2160", moveBox, desktop)
                ->ArgNames({"w", "h", "changedOnly"})
                ->Args({768, 432, 0}) // the default box
                ->Args({768, 432, 1})
                ->Args({3072, 1728, 0}) // most of the desktop
                ->Args({3072, 1728, 1})
                ->Unit(benchmark::kMicrosecond);
    }
    if (registered == 0)
        std::printf("overlay_bench: nothing to measure without the screenshots\n");
    else
        benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
