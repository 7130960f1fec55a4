#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

namespace quillcap {

// Writes one film, frame by frame (AviWriter says how).
class VideoWriter {
public:
    virtual ~VideoWriter() = default;
    virtual bool Open(const QString &path, QSize size, double intervalSeconds) = 0;
    virtual bool WriteFrame(const QImage &frame, qint64 tick) = 0;
    virtual bool Close() = 0;
    virtual QString LastReason() const = 0;
    virtual int LastErrno() const = 0;
};

// A new writer, or null with `why` set.
using MakeVideoWriter = std::function<std::unique_ptr<VideoWriter>(QString *why)>;

// The writer from the video module at `path`, loaded on the first call:
// FFmpeg and the ninety libraries it needs stay out of every start, a
// `quillcap --capture` included, and are mapped only once a film is made.
MakeVideoWriter VideoModuleWriters(const QString &path);

} // namespace quillcap
