#pragma once

#include "app/usermessages.h"

class QWidget;

namespace quillcap {

// Message boxes titled "QuillCap". Each text is also echoed to standard
// error, so a user starting from a terminal and the test scripts see it.
class MessageBoxes final : public UserMessages {
public:
    void SetOwner(QWidget *owner) { m_owner = owner; }
    void Inform(const QString &text) override;
    void Warn(const QString &text) override;

private:
    // `icon` is a QMessageBox::Icon; the box is modal, so a top-most window
    // steps aside while it is up.
    void Show(int icon, const QString &text);

    QWidget *m_owner = nullptr;
};

} // namespace quillcap
