#include "mainwindow/browserwidgets.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace quillcap {

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    // A folder may hold a hundred thousand captures: rows of one height lay
    // out without measuring each.
    setUniformItemSizes(true);
}

void FileListBox::startDrag(Qt::DropActions) {
    QList<QUrl> urls;
    for (int row = 0; row < count(); ++row)
        if (item(row)->isSelected() && fullPath)
            urls << QUrl::fromLocalFile(fullPath(item(row)->text()));
    if (urls.isEmpty())
        return;
    auto *data = new QMimeData;
    data->setUrls(urls);
    // On the heap: the drop target asks for the data after exec returns,
    // and Qt lets the drag go once the transfer is over.
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

PreviewImage::PreviewImage(QWidget *parent) : QLabel(parent) {
    setObjectName(QStringLiteral("imgPreview"));
    setScaledContents(true);
    // Right clicks go on to the viewer, which holds the menu.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void PreviewImage::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        m_pressedAt = event->position().toPoint();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void PreviewImage::mouseMoveEvent(QMouseEvent *event) {
    if (!(event->buttons() & Qt::LeftButton) || m_pressedAt.x() < 0 || m_picture.isNull() ||
        (event->position().toPoint() - m_pressedAt).manhattanLength() <
            QApplication::startDragDistance()) {
        QLabel::mouseMoveEvent(event);
        return;
    }
    m_pressedAt = {-1, -1};
    auto *data = new QMimeData;
    data->setImageData(m_picture);
    auto *drag = new QDrag(this); // as above
    drag->setMimeData(data);
    drag->setPixmap(pixmap().scaled(QSize(96, 96), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    drag->exec(Qt::CopyAction);
}

} // namespace quillcap
