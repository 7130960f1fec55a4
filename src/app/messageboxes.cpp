#include "app/messageboxes.h"

#include <QMessageBox>
#include <cstdio>

namespace quillcap {

namespace {

void showBox(QWidget *owner, QMessageBox::Icon icon, const QString &text) {
    // Line breaks are written as carriage returns; Qt lays out only "\n".
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    std::fprintf(stderr, "QuillCap: %s\n", qPrintable(shown));
    std::fflush(stderr);
    QMessageBox box(icon, QStringLiteral("QuillCap"), shown, QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("QuillCapMessage"));
    box.exec();
}

} // namespace

void MessageBoxes::Inform(const QString &text) {
    StepAside(true);
    showBox(m_owner, QMessageBox::NoIcon, text);
    StepAside(false);
}

void MessageBoxes::Warn(const QString &text) {
    StepAside(true);
    showBox(m_owner, QMessageBox::Warning, text);
    StepAside(false);
}

} // namespace quillcap
