#pragma once

#include <QString>
#include <functional>

namespace quillcap {

// Message boxes, titled "QuillCap" with an OK button unless they ask; the window layer shows
// them, tests record them.
class UserMessages {
public:
    virtual ~UserMessages() = default;
    // No icon.
    virtual void Inform(const QString &text) = 0;
    // Exclamation icon.
    virtual void Warn(const QString &text) = 0;
    // OK and Cancel under `title`, exclamation icon; true for OK.
    virtual bool Confirm(const QString &title, const QString &text) = 0;
    // Called with true before a box opens and false once it is closed, so a
    // top-most window can step aside; empty for none.
    void SetStepAside(std::function<void(bool aside)> stepAside) {
        m_stepAside = std::move(stepAside);
    }

protected:
    void StepAside(bool aside) const {
        if (m_stepAside)
            m_stepAside(aside);
    }

private:
    std::function<void(bool)> m_stepAside;
};

} // namespace quillcap
