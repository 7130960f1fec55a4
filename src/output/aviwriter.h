#pragma once

#include "output/videowriter.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <memory>

struct AVFrame;
struct AVPacket;

namespace quillcap {

// A movie as Motion JPEG in AVI, one frame per tick of the recorder's
// interval. One instance per film, used by one thread at a time.
class AviWriter final : public VideoWriter {
public:
    AviWriter();
    ~AviWriter() override;
    AviWriter(const AviWriter &) = delete;
    AviWriter &operator=(const AviWriter &) = delete;

    // Creates `path` for frames of `size` shown one per `intervalSeconds`.
    // Never replaces a file: a taken name fails with EEXIST, so the caller
    // can try the next number. On failure nothing is left on disk and
    // LastReason()/LastErrno() say why.
    bool Open(const QString &path, QSize size, double intervalSeconds) override;

    // Appends `frame` (the size given to Open) as the picture of `tick`.
    // Ticks count from the first frame and must increase; ticks skipped
    // since the previous frame show that frame again, so the film keeps
    // real time. False when the frame could not be encoded or written: a
    // full disk refuses the frame whole, the film before it stays intact.
    bool WriteFrame(const QImage &frame, qint64 tick) override;

    // Writes the index and closes the file, also after a refused frame. Only
    // a write torn midway (where no room could be kept ahead) leaves the film
    // without its index, cut back to whole frames that still play; then
    // false. Safe to call more than once; the destructor closes too.
    bool Close() override;

    bool IsOpen() const { return m_film != nullptr; }
    QString LastReason() const override { return m_reason; }
    int LastErrno() const override { return m_errno; }
    // Frames in the file, repeats included.
    qint64 FramesWritten() const { return m_framesWritten; }

private:
    struct Film;
    bool Start(QSize size, double intervalSeconds);
    bool Fail(const QString &reason, int error);
    bool FailErrno(int error);
    bool FailAv(const char *what, int averror);
    bool Encode(const AVFrame *frame);
    bool Mux(AVPacket *packet);
    bool Put(AVPacket *packet, qint64 pts);

    std::unique_ptr<Film> m_film;
    QString m_reason;
    int m_errno = 0;
    qint64 m_framesWritten = 0;
};

} // namespace quillcap
