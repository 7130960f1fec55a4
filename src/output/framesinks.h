#pragma once

#include "codec/gdiplus.h"
#include "output/videowriter.h"

#include <QImage>
#include <QString>
#include <memory>

namespace quillcap {

// Where a sequence's frames go. Written from the recorder's writer thread,
// one frame at a time, in the order they were grabbed.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Writes the frame grabbed at `tick`; false ends the sequence.
    virtual bool Write(const QImage &frame, qint64 tick) = 0;
    // Closes what is open and makes the frames durable.
    virtual void Finish() = 0;

    // The full name of the last file written (the video's name for a video);
    // empty before the first.
    QString lastName() const { return m_lastName; }
    // The number of the last frame file written; 0 for a video.
    qint32 lastNumber() const { return m_lastNumber; }
    // The name a failed write was meant for, and why it failed.
    QString failedName() const { return m_failedName; }
    QString reason() const { return m_reason; }
    // Names that were taken already and passed over.
    int namesSkipped() const { return m_skipped; }
    // The five-digit numbers ran out.
    bool numbersExhausted() const { return m_exhausted; }

protected:
    QString m_lastName;
    qint32 m_lastNumber = 0;
    QString m_failedName;
    QString m_reason;
    int m_skipped = 0;
    bool m_exhausted = false;
};

// Numbered image files, "<prefix>00007.PNG" on: a name that exists is never
// replaced but passed over, the number moving on.
class ImageSequenceSink final : public FrameSink {
public:
    ImageSequenceSink(QString folder, QString prefix, QString typeText, qint32 firstNumber);
    bool Write(const QImage &frame, qint64 tick) override;
    void Finish() override;

private:
    QString m_folder;
    QString m_prefix;
    QString m_typeText;
    qint32 m_number;
    GdiPlus m_gdip; // one encoder table for the whole sequence
};

// One Motion JPEG video, "<prefix><first number>.avi", at the tick's rate;
// ticks the recorder missed repeat the frame before.
class VideoSink final : public FrameSink {
public:
    explicit VideoSink(MakeVideoWriter makeWriter);
    ~VideoSink() override;
    // Creates the file under the first free number from `firstNumber`;
    // false (nothing on disk) when it cannot be written.
    bool Open(const QString &folder, const QString &prefix, qint32 firstNumber, QSize size,
              double intervalSeconds);
    bool Write(const QImage &frame, qint64 tick) override;
    void Finish() override;

private:
    MakeVideoWriter m_makeWriter;
    std::unique_ptr<VideoWriter> m_writer;
    QString m_name;
};

} // namespace quillcap
