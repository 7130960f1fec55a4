#include "files.h"
#include "output/aviwriter.h"

#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <ranges>
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

// The picture of `tick`: wide ones are grey on the right, split on a JPEG
// block edge, so a wrong stride or a shifted row shows; narrow ones are flat.
constexpr auto Split = [](int width) { return width >= 32 ? (width / 2) & ~15 : width; };

QImage Frame(QSize size, int tick) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(90, 90, 90));
    const QRgb colour = qRgb(30 + tick % 4 * 60, 200 - tick % 4 * 50, 40 + tick % 2 * 160);
    for (int y = 0; y < size.height(); ++y)
        std::fill_n(reinterpret_cast<QRgb *>(image.scanLine(y)), Split(size.width()), colour);
    return image;
}

// Plays the film through FFmpeg's own demuxer and decoder, as a player would,
// and expects Frame(shown[i]) as its i-th picture, a repeat the same picture.
void ExpectFilm(const QString &path, QSize size, AVRational rate, const QList<int> &shown) {
    AVFormatContext *in = nullptr;
    AVCodecContext *dec = nullptr;
    const AVCodec *decoder = nullptr;
    int index = -1;
    QList<QImage> frames;
    const bool opened =
        avformat_open_input(&in, QFile::encodeName(path).constData(), nullptr, nullptr) >= 0 &&
        avformat_find_stream_info(in, nullptr) >= 0 &&
        (index = av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0)) >= 0 &&
        (dec = avcodec_alloc_context3(decoder)) &&
        avcodec_parameters_to_context(dec, in->streams[index]->codecpar) >= 0 &&
        avcodec_open2(dec, decoder, nullptr) >= 0;
    if (opened) {
        const AVStream *stream = in->streams[index];
        EXPECT_EQ(stream->codecpar->codec_id, AV_CODEC_ID_MJPEG);
        EXPECT_EQ(QSize(stream->codecpar->width, stream->codecpar->height), size);
        EXPECT_DOUBLE_EQ(av_q2d(stream->r_frame_rate), av_q2d(rate));
        EXPECT_EQ(stream->nb_frames, shown.size());
        AVPacket *packet = av_packet_alloc();
        AVFrame *frame = av_frame_alloc();
        for (bool more = true; more;) { // all packets, then a null one to drain the decoder
            more = av_read_frame(in, packet) >= 0;
            avcodec_send_packet(dec, more ? packet : nullptr);
            av_packet_unref(packet);
            while (avcodec_receive_frame(dec, frame) >= 0) {
                QImage rgb(frame->width, frame->height, QImage::Format_RGB32);
                SwsContext *sws =
                    sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format),
                                   frame->width, frame->height, AV_PIX_FMT_RGB32, 0, {}, {}, {});
                uint8_t *planes[] = {rgb.bits()};
                const int strides[] = {int(rgb.bytesPerLine())};
                sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, strides);
                sws_freeContext(sws);
                frames << rgb;
            }
        }
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
    avcodec_free_context(&dec);
    avformat_close_input(&in);
    ASSERT_EQ(frames.size(), shown.size()) << (opened ? "" : "unreadable");
    for (int i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(frames[i].size(), size);
        EXPECT_TRUE(i == 0 || shown[i] != shown[i - 1] || frames[i] == frames[i - 1]) << i;
        // Each channel within 8, but for the chroma blur beside the split.
        const QImage expected = Frame(size, shown[i]);
        const int split = Split(size.width());
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                for (const int shift : {0, 8, 16})
                    ASSERT_NEAR(frames[i].pixel(x, y) >> shift & 255,
                                expected.pixel(x, y) >> shift & 255,
                                split < size.width() && std::abs(x - split) <= 4 ? 255 : 8)
                        << "frame " << i << " at " << x << "," << y;
    }
}

TEST(AviWriter, FilmsPlayBackAtTheirSizeRateAndTicks) {
    // Size, interval in seconds, the frame rate that makes.
    const std::tuple<QSize, double, AVRational> cases[] = {{{1, 1}, 0.05, {20, 1}},
                                                           {{3, 5}, 0.01, {100, 1}},
                                                           {{641, 359}, 1.5, {2, 3}},
                                                           {{64, 48}, 0.0334, {5000, 167}}};
    for (const auto &[size, interval, rate] : cases) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        QTemporaryDir dir;
        AviWriter writer;
        ASSERT_TRUE(writer.Open(dir.filePath("movie.avi"), size, interval))
            << writer.LastReason().toStdString();
        // Ticks 3 and 4 were missed: the frame of tick 2 stands in for them.
        for (const int tick : {0, 1, 2, 5})
            ASSERT_TRUE(writer.WriteFrame(Frame(size, tick), tick));
        EXPECT_FALSE(writer.WriteFrame(Frame(size, 5), 5));
        EXPECT_EQ(writer.LastErrno(), EINVAL);
        EXPECT_EQ(writer.FramesWritten(), 6);
        ASSERT_TRUE(writer.Close() && writer.Close()); // the second does nothing
        ExpectFilm(dir.filePath("movie.avi"), size, rate, {0, 1, 2, 2, 2, 5});
    }
}

TEST(AviWriter, OpenNeverReplacesAFileAndLeavesNothingWhenItFails) {
    // Name, whether it is taken already, the error.
    const std::tuple<const char *, bool, int> cases[] = {{"taken.avi", true, EEXIST},
                                                         {"missing/movie.avi", false, ENOENT}};
    for (const auto &[name, taken, error] : cases) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        ASSERT_TRUE(!taken || writeFile(dir.filePath(name), "earlier"));
        AviWriter writer;
        EXPECT_FALSE(writer.Open(dir.filePath(name), {16, 16}, 0.05));
        EXPECT_EQ(writer.LastErrno(), error);
        EXPECT_FALSE(writer.LastReason().isEmpty() || writer.IsOpen());
        EXPECT_EQ(entries(dir.path()), taken ? QStringList{name} : QStringList{});
        EXPECT_EQ(readFile(dir.filePath(name)), taken ? "earlier" : "");
    }
}

TEST(AviWriter, AFullDiskRefusesAFrameAndTheFilmBeforeItStillPlays) {
    QTemporaryDir dir;
    const QString path = dir.filePath("movie.avi");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) { // a disk that is full at 40000 bytes, for this process only
        const rlimit small{40000, 40000};
        signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        AviWriter writer;
        bool ok = writer.Open(path, {160, 120}, 0.1);
        for (int i = 0; ok && i < 1000; ++i)
            ok = writer.WriteFrame(Frame({160, 120}, i), i);
        // The frames it holds (far fewer than 256), if the disk was found full and it closed.
        const bool refused = writer.LastErrno() == EFBIG && !writer.LastReason().isEmpty();
        _exit(refused && writer.Close() ? int(writer.FramesWritten()) : 0);
    }
    int status = 0;
    const int frames =
        waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : 0;
    ASSERT_GT(frames, 10) << "no EFBIG with a reason, or Close failed";
    const auto ticks = std::views::iota(0, frames);
    ExpectFilm(path, {160, 120}, {10, 1}, QList<int>(ticks.begin(), ticks.end()));
}

} // namespace
} // namespace quillcap
