// Saving a real screenshot in each format: median time of a complete save
// (temporary file, encode, data on disk, rename) and the file's size, with
// the signal-to-noise ratio of the lossy formats read back; then PNG encoding
// alone, to memory: our writer at zlib levels 1-4 against Qt's writer.
// Usage: codec_bench BENCH_DATA_DIR [TARGET_DIR]
#include "codec/gdiplus.h"
#include "codec/pngwriter.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr int kRuns = 10;

double Psnr(const QImage &a, const QImage &b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            for (int d :
                 {qRed(p[x]) - qRed(q[x]), qGreen(p[x]) - qGreen(q[x]), qBlue(p[x]) - qBlue(q[x])})
                sum += d * d;
    }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

// Median ms of kRuns encodings into memory, and the size of the last in KB.
std::pair<double, double> EncodeToMemory(const std::function<bool(QIODevice &)> &encode) {
    std::vector<double> ms;
    QByteArray bytes;
    for (int i = 0; i < kRuns; ++i) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QElapsedTimer timer;
        timer.start();
        if (!encode(buffer))
            return {NAN, NAN};
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::nth_element(ms.begin(), ms.begin() + kRuns / 2, ms.end());
    return {ms[kRuns / 2], bytes.size() / 1024.0};
}

void BenchPng(const QImage &image) {
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    std::printf("  PNG encoding to memory            %9s %10s\n", "ms", "KB");
    const auto [qtMs, qtKb] = EncodeToMemory([&](QIODevice &device) {
        QImageWriter writer(&device, "png");
        writer.setQuality(89); // zlib level 1, adaptive filters
        return writer.write(image);
    });
    std::printf("  Qt, zlib 1, adaptive filters      %9.1f %10.0f\n", qtMs, qtKb);
    for (int level = 1; level <= 4; ++level) {
        const auto [ms, kb] = EncodeToMemory(
            [&](QIODevice &device) { return quillcap::WritePng(image, device, 0, level); });
        std::printf("  WritePng, zlib %d, %d bands %s  %9.1f %10.0f\n", level, cores,
                    level == quillcap::kPngLevel ? "(used)" : "      ", ms, kb);
    }
}

bool BenchOne(const QString &source, const QString &targetDir) {
    quillcap::GdiPlus gdi;
    const QImage image = gdi.FilenameToIPicture(source);
    if (image.isNull()) {
        std::fprintf(stderr, "codec_bench: cannot read %s\n", qPrintable(source));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(QFileInfo(source).fileName()), image.width(),
                image.height());
    std::printf("  %-5s %9s %10s %9s\n", "type", "ms", "KB", "PSNR dB");
    for (const char *ext : {"bmp", "jpg", "png", "tif", "gif"}) {
        const QString path = targetDir + QStringLiteral("/bench.") + QLatin1String(ext);
        std::vector<double> ms;
        for (int i = 0; i < kRuns; ++i) {
            QElapsedTimer timer;
            timer.start();
            if (!gdi.PictureBoxToFile(image, path)) {
                std::fprintf(stderr, "codec_bench: saving %s failed: %s\n", qPrintable(path),
                             qPrintable(quillcap::GdiErrorString(qint32(gdi.LastStatus()))));
                return false;
            }
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::nth_element(ms.begin(), ms.begin() + kRuns / 2, ms.end());
        const QImage back = gdi.FilenameToIPicture(path);
        std::printf("  %-5s %9.1f %10.0f %9.1f\n", ext, ms[kRuns / 2],
                    QFileInfo(path).size() / 1024.0, Psnr(image, back));
        QFile::remove(path);
    }
    BenchPng(image);
    return true;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: codec_bench BENCH_DATA_DIR [TARGET_DIR]\n");
        return 2;
    }
    const QDir data(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir scratch;
    const QString target = argc > 2 ? QString::fromLocal8Bit(argv[2]) : scratch.path();
    int status = 0;
    for (const char *name : {"desktop-1920x1080.png", "desktop-3840x2160.png"}) {
        const QString source = data.filePath(QLatin1String(name));
        if (!QFileInfo::exists(source)) {
            std::printf("codec_bench: no screenshot at %s: its figures are skipped\n",
                        qPrintable(source));
            continue;
        }
        if (!BenchOne(source, target))
            status = 1;
    }
    return status;
}
