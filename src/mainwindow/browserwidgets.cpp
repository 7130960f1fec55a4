#include "mainwindow/browserwidgets.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>

namespace quillcap {

FileListBox::FileListBox(QWidget *parent) : QListView(parent) {
    setModel(&m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    // A folder may hold a hundred thousand captures: rows of one height lay
    // out without measuring each.
    setUniformItemSizes(true);
}

void FileListBox::setNames(const QStringList &names) {
    m_model.setStringList(names);
}

int FileListBox::currentRow() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void FileListBox::setCurrentRow(int row) {
    selectionModel()->setCurrentIndex(m_model.index(row), QItemSelectionModel::ClearAndSelect);
    if (row < 0)
        selectionModel()->clear();
}

QString FileListBox::chosenName() const {
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? current.data().toString()
                                                                      : QString();
}

QStringList FileListBox::selectedNames() const {
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QStringList out;
    for (const QModelIndex &row : rows)
        out << row.data().toString();
    return out;
}

void FileListBox::startDrag(Qt::DropActions) {
    QList<QUrl> urls;
    for (const QString &name : selectedNames())
        if (fullPath)
            urls << QUrl::fromLocalFile(fullPath(name));
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
