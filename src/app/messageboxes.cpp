#include "app/messageboxes.h"

#include <QMessageBox>
#include <cstdio>

namespace quillcap {

int MessageBoxes::Show(int icon, const QString &text, const QString &title, bool withCancel) {
    // Line breaks are written as carriage returns; Qt lays out only "\n".
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    std::fprintf(stderr, "QuillCap: %s\n", qPrintable(shown));
    std::fflush(stderr);
    QMessageBox box(QMessageBox::Icon(icon), title, shown,
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, m_owner);
    box.setObjectName(QStringLiteral("QuillCapMessage"));
    StepAside(true);
    const int answer = box.exec();
    StepAside(false);
    return answer;
}

void MessageBoxes::Inform(const QString &text) {
    Show(QMessageBox::NoIcon, text);
}

void MessageBoxes::Warn(const QString &text) {
    Show(QMessageBox::Warning, text);
}

bool MessageBoxes::Confirm(const QString &title, const QString &text) {
    return Show(QMessageBox::Warning, text, title, true) == QMessageBox::Ok;
}

} // namespace quillcap
