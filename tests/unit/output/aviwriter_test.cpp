#include "files.h"
#include "output/aviwriter.h"

#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace quillcap {
namespace {

const QRgb kColours[] = {qRgb(200, 40, 40), qRgb(40, 160, 60), qRgb(50, 60, 200),
                         qRgb(220, 200, 60)};
const QRgb kRight = qRgb(90, 90, 90);

// Wide frames get a second colour on the right, split on a JPEG block edge,
// so a wrong stride or a shifted row shows; narrow ones are flat.
int Split(int width) {
    return width >= 32 ? (width / 2) & ~15 : width;
}

QImage Frame(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kRight);
    for (int y = 0; y < size.height(); ++y)
        std::fill_n(reinterpret_cast<QRgb *>(image.scanLine(y)), Split(size.width()), colour);
    return image;
}

// Largest channel difference, leaving out the chroma blur beside the split.
int WorstError(const QImage &decoded, const QImage &written) {
    int worst = 0;
    const int split = Split(written.width());
    for (int y = 0; y < written.height(); ++y)
        for (int x = 0; x < written.width(); ++x) {
            if (split < written.width() && std::abs(x - split) <= 4)
                continue;
            const QRgb a = decoded.pixel(x, y), b = written.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    return worst;
}

struct Film {
    AVCodecID codec = AV_CODEC_ID_NONE;
    QSize size;
    AVRational frameRate{0, 1};
    qint64 headerFrames = 0;
    QList<QImage> frames;
};

// The file as a player sees it, through FFmpeg's own demuxer and decoder.
Film ReadFilm(const QString &path) {
    av_log_set_level(AV_LOG_ERROR);
    Film film;
    AVFormatContext *in = nullptr;
    AVCodecContext *dec = nullptr;
    const AVCodec *decoder = nullptr;
    int index = -1;
    const bool opened =
        avformat_open_input(&in, QFile::encodeName(path).constData(), nullptr, nullptr) >= 0 &&
        avformat_find_stream_info(in, nullptr) >= 0 &&
        (index = av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0)) >= 0 &&
        (dec = avcodec_alloc_context3(decoder)) &&
        avcodec_parameters_to_context(dec, in->streams[index]->codecpar) >= 0 &&
        avcodec_open2(dec, decoder, nullptr) >= 0;
    if (opened) {
        const AVStream *stream = in->streams[index];
        film.codec = stream->codecpar->codec_id;
        film.size = QSize(stream->codecpar->width, stream->codecpar->height);
        film.frameRate = stream->r_frame_rate;
        film.headerFrames = stream->nb_frames;
        AVPacket *packet = av_packet_alloc();
        AVFrame *frame = av_frame_alloc();
        auto drain = [&] {
            while (avcodec_receive_frame(dec, frame) >= 0) {
                QImage rgb(frame->width, frame->height, QImage::Format_RGB32);
                SwsContext *sws =
                    sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format),
                                   frame->width, frame->height, AV_PIX_FMT_RGB32, 0, {}, {}, {});
                uint8_t *planes[] = {rgb.bits()};
                const int strides[] = {int(rgb.bytesPerLine())};
                sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, strides);
                sws_freeContext(sws);
                film.frames << rgb;
            }
        };
        while (av_read_frame(in, packet) >= 0) {
            if (packet->stream_index == index && avcodec_send_packet(dec, packet) >= 0)
                drain();
            av_packet_unref(packet);
        }
        avcodec_send_packet(dec, nullptr);
        drain();
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
    avcodec_free_context(&dec);
    avformat_close_input(&in);
    return film;
}

TEST(AviWriter, FilmsPlayBackAtTheirSizeRateAndTicks) {
    const struct {
        QSize size;
        double interval;
        AVRational frameRate;
    } cases[] = {
        {{1, 1}, 0.05, {20, 1}},
        {{3, 5}, 0.01, {100, 1}},
        {{641, 359}, 1.5, {2, 3}},
        {{64, 48}, 0.0334, {5000, 167}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.width() << "x" << c.size.height());
        QTemporaryDir dir;
        const QString path = dir.filePath("movie.avi");
        AviWriter writer;
        ASSERT_TRUE(writer.Open(path, c.size, c.interval)) << writer.LastReason().toStdString();
        // Ticks 3 and 4 were missed: the frame of tick 2 stands in for them.
        const qint64 ticks[] = {0, 1, 2, 5};
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(writer.WriteFrame(Frame(c.size, kColours[i]), ticks[i]));
        EXPECT_FALSE(writer.WriteFrame(Frame(c.size, kColours[0]), 5));
        EXPECT_EQ(writer.LastErrno(), EINVAL);
        EXPECT_EQ(writer.FramesWritten(), 6);
        ASSERT_TRUE(writer.Close());
        EXPECT_TRUE(writer.Close());

        const Film film = ReadFilm(path);
        ASSERT_EQ(film.codec, AV_CODEC_ID_MJPEG);
        EXPECT_EQ(film.size, c.size);
        EXPECT_EQ(av_cmp_q(film.frameRate, c.frameRate), 0)
            << film.frameRate.num << "/" << film.frameRate.den;
        EXPECT_EQ(film.headerFrames, 6);
        const int shown[] = {0, 1, 2, 2, 2, 3};
        ASSERT_EQ(film.frames.size(), 6);
        for (int i = 0; i < 6; ++i) {
            ASSERT_EQ(film.frames[i].size(), c.size);
            EXPECT_LE(WorstError(film.frames[i], Frame(c.size, kColours[shown[i]])), 8)
                << "frame " << i;
        }
    }
}

TEST(AviWriter, OpenNeverReplacesAFileAndLeavesNothingWhenItFails) {
    const struct {
        const char *name;
        bool existing;
        double interval;
        int error;
    } cases[] = {
        {"taken.avi", true, 0.05, EEXIST},
        {"missing/movie.avi", false, 0.05, ENOENT},
        {"movie.avi", false, 0, EINVAL},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(!c.existing || writeFile(dir.filePath(c.name), "earlier"));
        AviWriter writer;
        EXPECT_FALSE(writer.Open(dir.filePath(c.name), {16, 16}, c.interval));
        EXPECT_EQ(writer.LastErrno(), c.error);
        EXPECT_FALSE(writer.LastReason().isEmpty());
        EXPECT_FALSE(writer.IsOpen());
        EXPECT_EQ(entries(dir.path()), c.existing ? QStringList{c.name} : QStringList{});
        EXPECT_EQ(readFile(dir.filePath(c.name)), c.existing ? "earlier" : "");
    }
}

TEST(AviWriter, AFullDiskRefusesAFrameAndTheFilmBeforeItStillPlays) {
    QTemporaryDir dir;
    const QString path = dir.filePath("movie.avi");
    const QSize size(160, 120);
    const rlim_t limit = 40000;
    struct {
        qint64 frames;
        int error;
        bool reason, closed;
    } result{};
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) { // a disk that is full at `limit` bytes, for this process only
        const rlimit small{limit, limit};
        signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        AviWriter writer;
        bool ok = writer.Open(path, size, 0.1);
        for (int i = 0; ok && i < 1000; ++i)
            ok = writer.WriteFrame(Frame(size, kColours[i % 4]), i);
        result = {writer.FramesWritten(), writer.LastErrno(), !writer.LastReason().isEmpty(),
                  writer.Close()};
        _exit(write(fds[1], &result, sizeof result) == sizeof result ? 0 : 1);
    }
    close(fds[1]);
    ASSERT_EQ(read(fds[0], &result, sizeof result), ssize_t(sizeof result));
    close(fds[0]);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(result.error, EFBIG);
    EXPECT_TRUE(result.reason);
    EXPECT_TRUE(result.closed);
    ASSERT_GT(result.frames, 10);
    EXPECT_LE(QFileInfo(path).size(), qint64(limit));

    const Film film = ReadFilm(path);
    ASSERT_EQ(film.codec, AV_CODEC_ID_MJPEG);
    EXPECT_EQ(film.headerFrames, result.frames);
    ASSERT_EQ(film.frames.size(), result.frames);
    for (int i = 0; i < film.frames.size(); ++i)
        EXPECT_LE(WorstError(film.frames[i], Frame(size, kColours[i % 4])), 8) << "frame " << i;
}

} // namespace
} // namespace quillcap
