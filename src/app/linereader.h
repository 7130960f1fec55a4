#pragma once

#include <QIODevice>
#include <QString>
#include <optional>

namespace quillcap {

// Reads the small text files line by line in bounded memory and time: a
// line longer than kMaxLineBytes, or a file beyond kMaxFileBytes, is a read
// error rather than something to buffer. Accepts CR LF and LF endings.
class LineReader {
public:
    static constexpr qint64 kMaxLineBytes = 64 * 1024;
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

    enum class Status { Ok, EndOfFile, TooLong, ReadError };

    explicit LineReader(QIODevice &device) : m_device(device) {}

    // The next line without its line end, or none with status() telling why.
    std::optional<QString> ReadLine();
    Status status() const { return m_status; }
    bool AtEnd() const;

private:
    QIODevice &m_device;
    qint64 m_consumed = 0;
    Status m_status = Status::Ok;
};

} // namespace quillcap
