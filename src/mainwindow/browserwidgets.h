#pragma once

#include <QImage>
#include <QLabel>
#include <QListView>
#include <QStringListModel>
#include <functional>

namespace quillcap {

// The image list: several entries can be selected, and dragging them gives
// other programs the files themselves (file URLs). A plain list of names
// behind it, so a folder of a hundred thousand captures fills it at once.
class FileListBox : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent);
    // The full path of an entry, set by whoever fills the list.
    std::function<QString(const QString &name)> fullPath;

    // Replaces the entries; nothing is current or selected afterwards.
    void setNames(const QStringList &names);
    QStringList names() const { return m_model.stringList(); }
    int count() const { return m_model.rowCount(); }
    // -1 when none; setCurrentRow makes the row the only selected one.
    int currentRow() const;
    void setCurrentRow(int row);
    // The current entry when it is selected: the one entry acted on.
    QString chosenName() const;
    QStringList selectedNames() const; // in list order
    // The row of exactly `name`, -1 when the list does not hold it.
    int rowOf(const QString &name) const { return int(names().indexOf(name)); }

protected:
    // Always a copy: a move would take the entries out of the list.
    void startDrag(Qt::DropActions supportedActions) override;

private:
    QStringListModel m_model;
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
