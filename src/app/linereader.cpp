#include "app/linereader.h"

namespace quillcap {

bool LineReader::AtEnd() const {
    return m_device.atEnd();
}

std::optional<QString> LineReader::ReadLine() {
    if (m_status != Status::Ok)
        return std::nullopt;
    if (m_device.atEnd()) {
        m_status = Status::EndOfFile;
        return std::nullopt;
    }
    // One byte more than the limit tells an over-long line from one that fits.
    QByteArray line = m_device.readLine(kMaxLineBytes + 2);
    if (line.isEmpty() && !m_device.atEnd()) {
        m_status = Status::ReadError;
        return std::nullopt;
    }
    m_consumed += line.size();
    const bool ended = line.endsWith('\n');
    if (ended)
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.size() > kMaxLineBytes || (!ended && !m_device.atEnd())) {
        m_status = Status::TooLong;
        return std::nullopt;
    }
    if (m_consumed > kMaxFileBytes) {
        m_status = Status::TooLong;
        return std::nullopt;
    }
    return QString::fromUtf8(line);
}

} // namespace quillcap
