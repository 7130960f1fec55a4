#pragma once

#include <QString>

namespace quillcap {

// Message boxes titled "QuillCap" with an OK button; the window layer shows
// them, tests record them.
class UserMessages {
public:
    virtual ~UserMessages() = default;
    // No icon.
    virtual void Inform(const QString &text) = 0;
    // Exclamation icon.
    virtual void Warn(const QString &text) = 0;
};

} // namespace quillcap
