#pragma once

#include "app/usermessages.h"

#include <QString>

class QWidget;

namespace quillcap {

// Message boxes titled "QuillCap". Each text is also echoed to standard
// error, so a user starting from a terminal and the test scripts see it.
class MessageBoxes final : public UserMessages {
public:
    void SetOwner(QWidget *owner) { m_owner = owner; }
    void Inform(const QString &text) override;
    void Warn(const QString &text) override;
    bool Confirm(const QString &title, const QString &text) override;

private:
    // `icon` is a QMessageBox::Icon; the box is modal, so a top-most window
    // steps aside while it is up.
    int Show(int icon, const QString &text, const QString &title = QStringLiteral("QuillCap"),
             bool withCancel = false);

    QWidget *m_owner = nullptr;
};

} // namespace quillcap
