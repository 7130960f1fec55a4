#include "output/framesinks.h"

#include "codec/gdiplus.h"
#include "output/movieoptions.h"
#include "platform/atomicfile.h"

#include <cerrno>

namespace quillcap {

ImageSequenceSink::ImageSequenceSink(QString folder, QString prefix, QString typeText,
                                     qint32 firstNumber)
    : m_folder(std::move(folder)), m_prefix(std::move(prefix)), m_typeText(std::move(typeText)),
      m_number(firstNumber) {}

bool ImageSequenceSink::Write(const QImage &frame, qint64) {
    GdiPlus &gdip = m_gdip;
    for (;; ++m_number) {
        if (m_number > kLastFrameNumber) {
            m_exhausted = true;
            return false;
        }
        const QString name = m_folder + u'/' + MovieFrameName(m_prefix, m_number, m_typeText);
        // Whole under its name, never over an earlier file; synced at the end.
        if (gdip.PictureBoxToFile(frame, name, GdiPlus::kDefaultQuality, ExistingFile::Keep,
                                  Durability::Deferred)) {
            m_lastName = name;
            m_lastNumber = m_number++;
            return true;
        }
        if (gdip.LastErrno() != EEXIST) {
            m_failedName = name;
            m_reason = gdip.LastReason();
            return false;
        }
        ++m_skipped;
    }
}

void ImageSequenceSink::Finish() {
    SyncFolder(m_folder);
}

VideoSink::VideoSink(MakeVideoWriter makeWriter) : m_makeWriter(std::move(makeWriter)) {}
VideoSink::~VideoSink() = default;

bool VideoSink::Open(const QString &folder, const QString &prefix, qint32 firstNumber, QSize size,
                     double intervalSeconds) {
    for (qint32 number = firstNumber; number <= kLastFrameNumber; ++number) {
        const QString name = folder + u'/' + MovieFrameName(prefix, number, QStringLiteral("avi"));
        m_writer = m_makeWriter(&m_reason);
        if (!m_writer) {
            m_failedName = name;
            break;
        }
        if (m_writer->Open(name, size, intervalSeconds)) {
            m_name = name;
            return true;
        }
        m_failedName = name;
        m_reason = m_writer->LastReason();
        if (m_writer->LastErrno() != EEXIST)
            break;
        ++m_skipped;
    }
    m_writer.reset();
    return false;
}

bool VideoSink::Write(const QImage &frame, qint64 tick) {
    if (!m_writer)
        return false;
    if (m_writer->WriteFrame(frame, tick)) {
        m_lastName = m_name;
        return true;
    }
    m_failedName = m_name;
    m_reason = m_writer->LastReason();
    return false;
}

void VideoSink::Finish() {
    if (!m_writer)
        return;
    m_writer->Close();
    // The name is the user's once the file exists, frames or not.
    m_lastName = m_name;
}

} // namespace quillcap
