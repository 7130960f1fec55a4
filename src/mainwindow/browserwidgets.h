#pragma once

#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <functional>

namespace quillcap {

// The image list: several entries can be selected, and dragging them gives
// other programs the files themselves (file URLs).
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent);
    // The full path of an entry, set by whoever fills the list.
    std::function<QString(const QString &name)> fullPath;

protected:
    // Always a copy: a move would take the entries out of the list.
    void startDrag(Qt::DropActions supportedActions) override;
};

// The preview of one picture, its pixels scaled to the label's size; dragging
// it gives other programs the whole picture as image data.
class PreviewImage : public QLabel {
    Q_OBJECT
public:
    explicit PreviewImage(QWidget *parent);
    void setPicture(const QImage &picture) { m_picture = picture; }
    const QImage &picture() const { return m_picture; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
    QPoint m_pressedAt{-1, -1};
};

} // namespace quillcap
