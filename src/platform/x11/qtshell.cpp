#include "platform/x11/qtshell.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace quillcap::x11 {

QString QtShell::BrowseForFolder(QWidget *owner, const QString &title, const QString &startFolder) {
    return QFileDialog::getExistingDirectory(owner, title, startFolder);
}

void QtShell::OpenUrl(const QString &address) {
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void QtShell::OpenFile(const QString &path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace quillcap::x11
