#include "output/aviwriter.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace quillcap {

namespace {

// Motion JPEG's fixed quantiser: 4 matches a JPEG at quality 85 best. On a
// 1920x1080 desktop it gives 32.5 dB PSNR where Qt's quality 85 gives 32.4
// (3 gives 33.2); on 3840x2160, 35.4 against 35.9 (3: 36.3).
constexpr int kQScale = 4;

// Beyond a frame's bytes, room for what the trailer writes: a 16-byte index
// entry per frame plus headers and padding, so a full disk can always close.
constexpr qint64 kIndexEntryBytes = 16;
constexpr qint64 kSlackBytes = 4096;

#if LIBAVFORMAT_VERSION_MAJOR >= 61
using WriteBuffer = const uint8_t *;
#else
using WriteBuffer = uint8_t *;
#endif

// swscale blends the last chroma sample of an odd width or height with what
// lies past the edge (a red pixel turns brown). Converting at the next even
// size, edge pixels repeated, gives that sample the edge's own colour; the
// encoder then takes the film's size from the top-left.
QSize Evened(QSize size) {
    return {size.width() + size.width() % 2, size.height() + size.height() % 2};
}

QImage Evened(const QImage &image) {
    const QSize even = Evened(image.size());
    if (even == image.size())
        return image;
    QImage copy(even, QImage::Format_RGB32);
    const int width = image.width();
    for (int y = 0; y < even.height(); ++y) {
        const auto *from =
            reinterpret_cast<const QRgb *>(image.constScanLine(std::min(y, image.height() - 1)));
        auto *to = reinterpret_cast<QRgb *>(copy.scanLine(y));
        std::copy(from, from + width, to);
        to[even.width() - 1] = from[width - 1];
    }
    return copy;
}

} // namespace

// Everything FFmpeg holds for one film, over a descriptor of our own: the
// muxer writes through it, so the name is taken exclusively and a seek back
// to patch the header lands in the same file.
struct AviWriter::Film {
    int fd = -1;
    QByteArray path;
    qint64 pos = 0;      // where the muxer writes next
    qint64 end = 0;      // bytes of content, without the room kept ahead
    qint64 goodEnd = 0;  // the file is whole up to here
    int ioErrno = 0;     // the system's word for the last failed write
    bool broken = false; // a write tore: the muxer counts a frame the file lacks
    AVIOContext *io = nullptr;
    AVFormatContext *mux = nullptr;
    AVStream *stream = nullptr;
    AVCodecContext *enc = nullptr;
    SwsContext *sws = nullptr;
    AVFrame *picture = nullptr; // even-sized, see Evened()
    AVFrame *view = nullptr;    // the picture at the film's size, for the encoder
    AVPacket *packet = nullptr;
    AVPacket *previous = nullptr; // shown again for ticks the recorder missed
    AVPacket *copy = nullptr;
    qint64 firstTick = -1;
    qint64 lastPts = -1; // of the last frame handed to the encoder
    qint64 nextPts = 0;  // of the next packet in the file

    ~Film() {
        sws_freeContext(sws);
        av_frame_free(&picture);
        av_frame_free(&view);
        av_packet_free(&packet);
        av_packet_free(&previous);
        av_packet_free(&copy);
        avcodec_free_context(&enc);
        avformat_free_context(mux);
        if (io)
            av_freep(&io->buffer);
        avio_context_free(&io);
        if (fd >= 0)
            ::close(fd);
    }

    static int Write(void *opaque, WriteBuffer buf, int size) {
        auto *f = static_cast<Film *>(opaque);
        for (int done = 0; done < size;) {
            const ssize_t n = ::pwrite(f->fd, buf + done, size - done, f->pos);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                f->ioErrno = errno;
                return AVERROR(errno);
            }
            done += n;
            f->pos += n;
            f->end = std::max(f->end, f->pos);
        }
        return size;
    }

    static int64_t Seek(void *opaque, int64_t offset, int whence) {
        auto *f = static_cast<Film *>(opaque);
        const int how = whence & ~AVSEEK_FORCE;
        if (how == AVSEEK_SIZE)
            return f->end;
        offset += how == SEEK_CUR ? f->pos : how == SEEK_END ? f->end : 0;
        const bool known = how == SEEK_SET || how == SEEK_CUR || how == SEEK_END;
        return !known || offset < 0 ? AVERROR(EINVAL) : (f->pos = offset);
    }

    // Claims the disk space a packet and the trailer need before the muxer
    // sees the packet: a full disk then refuses the frame and leaves a film
    // that closes properly, instead of a chunk torn in half. Where the file
    // system cannot reserve, the write itself finds out.
    int Reserve(qint64 packetBytes, qint64 frames) {
        const qint64 need = packetBytes + kIndexEntryBytes * (frames + 2) + kSlackBytes;
        while (::fallocate(fd, 0, end, need) != 0) {
            if (errno == EOPNOTSUPP)
                return 0;
            if (errno != EINTR)
                return errno;
        }
        return 0;
    }
};

AviWriter::AviWriter() = default;

AviWriter::~AviWriter() {
    Close();
}

bool AviWriter::Fail(const QString &reason, int error) {
    m_reason = reason;
    m_errno = error;
    return false;
}

bool AviWriter::FailErrno(int error) {
    return Fail(QString::fromLocal8Bit(std::strerror(error)), error);
}

bool AviWriter::FailAv(const char *what, int averror) {
    Film &f = *m_film;
    // A failed write carries the system's own words; FFmpeg's are the fallback.
    if (f.ioErrno != 0)
        return FailErrno(f.ioErrno);
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, text, sizeof text);
    const bool isErrno = averror < 0 && averror > -4096;
    return Fail(QLatin1String(what) + QStringLiteral(": ") + QString::fromLocal8Bit(text),
                isErrno ? -averror : EINVAL);
}

bool AviWriter::Open(const QString &path, QSize size, double intervalSeconds) {
    Close();
    m_framesWritten = 0;
    if (size.isEmpty() || !(intervalSeconds > 0) || !std::isfinite(intervalSeconds))
        return Fail(QStringLiteral("Invalid film size or interval"), EINVAL);
    auto film = std::make_unique<Film>();
    film->path = QFile::encodeName(path);
    film->fd = ::open(film->path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (film->fd < 0)
        return FailErrno(errno);
    m_film = std::move(film);
    if (!Start(size, intervalSeconds)) {
        const QByteArray name = m_film->path;
        m_film.reset();
        ::unlink(name.constData());
        return false;
    }
    return true;
}

bool AviWriter::Start(QSize size, double intervalSeconds) {
    Film &f = *m_film;
    // Exact for any whole number of microseconds: 0.05 s is 1/20, 1.5 s is 3/2.
    const AVRational frameDuration = av_d2q(intervalSeconds, 1000000);
    const int kBufferBytes = 1 << 16;
    auto *buffer = static_cast<unsigned char *>(av_malloc(kBufferBytes));
    f.io = buffer
               ? avio_alloc_context(buffer, kBufferBytes, 1, &f, nullptr, Film::Write, Film::Seek)
               : nullptr;
    if (!f.io) {
        av_free(buffer);
        return FailErrno(ENOMEM);
    }
    int ret = avformat_alloc_output_context2(&f.mux, nullptr, "avi", nullptr);
    const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (ret < 0 || !codec)
        return FailAv("No AVI muxer or Motion JPEG encoder",
                      ret < 0 ? ret : AVERROR_ENCODER_NOT_FOUND);
    f.mux->pb = f.io;
    f.mux->flags |= AVFMT_FLAG_CUSTOM_IO;
    f.mux->flush_packets = 1; // each frame reaches the file whole, or is known lost
    f.stream = avformat_new_stream(f.mux, nullptr);
    f.enc = avcodec_alloc_context3(codec);
    f.picture = av_frame_alloc();
    f.view = av_frame_alloc();
    f.packet = av_packet_alloc();
    f.previous = av_packet_alloc();
    f.copy = av_packet_alloc();
    if (!f.stream || !f.enc || !f.picture || !f.view || !f.packet || !f.previous || !f.copy)
        return FailErrno(ENOMEM);

    // Full-range 4:2:0 is baseline JPEG, what every player decodes; odd sizes
    // round their chroma up and lose nothing.
    f.enc->width = size.width();
    f.enc->height = size.height();
    f.enc->pix_fmt = AV_PIX_FMT_YUV420P;
    f.enc->color_range = AVCOL_RANGE_JPEG;
    f.enc->time_base = frameDuration;
    f.enc->framerate = av_inv_q(frameDuration);
    f.enc->flags |= AV_CODEC_FLAG_QSCALE;
    f.enc->global_quality = FF_QP2LAMBDA * kQScale;
    // One slice per thread at most: each needs a row of 16-pixel blocks.
    f.enc->thread_count =
        std::clamp(int(std::thread::hardware_concurrency()), 1, (size.height() + 15) / 16);
    f.enc->thread_type = FF_THREAD_SLICE;
    if ((ret = avcodec_open2(f.enc, codec, nullptr)) < 0)
        return FailAv("Motion JPEG refused the film", ret);
    if ((ret = avcodec_parameters_from_context(f.stream->codecpar, f.enc)) < 0)
        return FailAv("Motion JPEG parameters", ret);
    f.stream->time_base = frameDuration;
    f.stream->avg_frame_rate = f.stream->r_frame_rate = f.enc->framerate;

    f.picture->format = f.enc->pix_fmt;
    const QSize even = Evened(size);
    f.picture->width = even.width();
    f.picture->height = even.height();
    f.picture->color_range = AVCOL_RANGE_JPEG;
    if ((ret = av_frame_get_buffer(f.picture, 0)) < 0)
        return FailAv("Frame buffer", ret);
    // QImage's RGB32 is 0xffRRGGBB in native order: BGRX bytes here.
    f.sws = sws_getContext(even.width(), even.height(), AV_PIX_FMT_0RGB32, even.width(),
                           even.height(), f.enc->pix_fmt, SWS_BILINEAR, nullptr, nullptr, nullptr);
    const int *bt601 = sws_getCoefficients(SWS_CS_ITU601);
    if (!f.sws || sws_setColorspaceDetails(f.sws, bt601, 1, bt601, 1, 0, 1 << 16, 1 << 16) < 0)
        return Fail(QStringLiteral("No colour conversion for this size"), EINVAL);

    if ((ret = f.Reserve(0, 0)) != 0)
        return FailErrno(ret);
    if ((ret = avformat_write_header(f.mux, nullptr)) < 0)
        return FailAv("AVI header", ret);
    avio_flush(f.io);
    if (f.io->error < 0)
        return FailAv("AVI header", f.io->error);
    f.goodEnd = f.end;
    return true;
}

bool AviWriter::WriteFrame(const QImage &frame, qint64 tick) {
    if (!m_film)
        return Fail(QStringLiteral("The film is not open"), EBADF);
    Film &f = *m_film;
    if (f.broken)
        return Fail(QStringLiteral("The film could not be written further"), EIO);
    if (frame.size() != QSize(f.enc->width, f.enc->height))
        return Fail(QStringLiteral("The frame's size differs from the film's"), EINVAL);
    if (f.firstTick < 0)
        f.firstTick = tick;
    const qint64 pts = tick - f.firstTick;
    if (pts <= f.lastPts)
        return Fail(QStringLiteral("The frame's tick is not after the previous one"), EINVAL);

    const bool bgrx = frame.format() == QImage::Format_RGB32 ||
                      frame.format() == QImage::Format_ARGB32 ||
                      frame.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage source = Evened(bgrx ? frame : frame.convertToFormat(QImage::Format_RGB32));
    int ret = av_frame_make_writable(f.picture);
    if (ret < 0)
        return FailAv("Frame buffer", ret);
    const uint8_t *planes[] = {source.constBits()};
    const int strides[] = {int(source.bytesPerLine())};
    sws_scale(f.sws, planes, strides, 0, source.height(), f.picture->data, f.picture->linesize);
    if ((ret = av_frame_ref(f.view, f.picture)) < 0)
        return FailAv("Frame buffer", ret);
    f.view->width = f.enc->width;
    f.view->height = f.enc->height;
    f.view->pts = pts;
    f.view->quality = f.enc->global_quality;
    f.lastPts = pts;
    const bool ok = Encode(f.view);
    av_frame_unref(f.view);
    return ok;
}

// Hands a frame to the encoder (null: the end) and files what comes out.
bool AviWriter::Encode(const AVFrame *frame) {
    Film &f = *m_film;
    int ret = avcodec_send_frame(f.enc, frame);
    if (ret < 0)
        return FailAv("Motion JPEG", ret);
    while ((ret = avcodec_receive_packet(f.enc, f.packet)) >= 0) {
        if (!Mux(f.packet))
            return false;
    }
    return ret == AVERROR(EAGAIN) || ret == AVERROR_EOF || FailAv("Motion JPEG", ret);
}

// Files the packet after repeating the previous one for the ticks between.
bool AviWriter::Mux(AVPacket *packet) {
    Film &f = *m_film;
    const qint64 pts = packet->pts;
    for (qint64 skipped = f.nextPts; skipped < pts; ++skipped) {
        if (!Put(f.previous, skipped)) {
            av_packet_unref(packet);
            return false;
        }
    }
    av_packet_unref(f.previous);
    av_packet_move_ref(f.previous, packet);
    return Put(f.previous, pts);
}

bool AviWriter::Put(AVPacket *packet, qint64 pts) {
    Film &f = *m_film;
    if (const int error = f.Reserve(packet->size, m_framesWritten); error != 0)
        return FailErrno(error);
    int ret = av_packet_ref(f.copy, packet);
    if (ret < 0)
        return FailAv("Packet", ret);
    f.copy->pts = f.copy->dts = pts;
    f.copy->duration = 1;
    f.copy->stream_index = f.stream->index;
    av_packet_rescale_ts(f.copy, f.enc->time_base, f.stream->time_base);
    ret = av_write_frame(f.mux, f.copy);
    av_packet_unref(f.copy);
    if (ret < 0 || f.io->error < 0) {
        f.broken = true;
        return FailAv("AVI", ret < 0 ? ret : f.io->error);
    }
    f.goodEnd = f.end;
    f.nextPts = pts + 1;
    ++m_framesWritten;
    return true;
}

bool AviWriter::Close() {
    if (!m_film)
        return true;
    Film &f = *m_film;
    bool ok = !f.broken;
    if (ok) { // a refused frame left the muxer whole: finish the film
        ok = Encode(nullptr);
        const int ret = av_write_trailer(f.mux);
        avio_flush(f.io);
        if (ok && (ret < 0 || f.io->error < 0))
            ok = FailAv("AVI index", ret < 0 ? ret : f.io->error);
    }
    // Drop the room kept ahead, and after a torn write the torn chunk: what
    // remains are whole frames a player reads without the index.
    const qint64 keep = f.broken ? f.goodEnd : f.end;
    if (::ftruncate(f.fd, keep) != 0 && ok)
        ok = FailErrno(errno);
    const int fd = std::exchange(f.fd, -1);
    if (::close(fd) != 0 && ok)
        ok = FailErrno(errno);
    m_film.reset();
    return ok;
}

} // namespace quillcap
