// Overlay paint costs on real desktop screenshots: the first paint of the
// whole shaded desktop into a backing store, and the repaint of one box move.
// Usage: overlay_bench BENCH_DATA_DIR [--benchmark_...]
#include "overlay/overlayload.h"
#include "overlay/shading.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace quillcap;

namespace {

void firstPaint(benchmark::State &state, const QImage &desktop) {
    QImage backingStore(desktop.size(), QImage::Format_RGB32);
    const CaptureRegion box = DefaultCapBox(desktop.size());
    for (auto _ : state) {
        QPainter painter(&backingStore);
        PaintOverlay(painter, QRegion(desktop.rect()), desktop, QRect(box.x, box.y, box.w, box.h));
    }
    state.SetItemsProcessed(state.iterations() * desktop.width() * desktop.height());
}

// What the overlay repaints when the box moves by a few pixels into a backing
// store: the old and the new box (argument 2 = 0), or only the pixels that
// change (1).
void moveBox(benchmark::State &state, const QImage &bright) {
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
        PaintOverlay(painter, dirty, bright, moved);
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
        benchmark::RegisterBenchmark((std::string("FirstPaint/") + size).c_str(), firstPaint,
                                     desktop)
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
