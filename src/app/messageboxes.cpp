#include "app/messageboxes.h"

#include <QMessageBox>
#include <cstdio>

namespace quillcap {

void MessageBoxes::Show(int icon, const QString &text) {
    // Line breaks are written as carriage returns; Qt lays out only "\n".
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    std::fprintf(stderr, "QuillCap: %s\n", qPrintable(shown));
    std::fflush(stderr);
    QMessageBox box(QMessageBox::Icon(icon), QStringLiteral("QuillCap"), shown, QMessageBox::Ok,
                    m_owner);
    box.setObjectName(QStringLiteral("QuillCapMessage"));
    StepAside(true);
    box.exec();
    StepAside(false);
}

void MessageBoxes::Inform(const QString &text) {
    Show(QMessageBox::NoIcon, text);
}

void MessageBoxes::Warn(const QString &text) {
    Show(QMessageBox::Warning, text);
}

} // namespace quillcap
