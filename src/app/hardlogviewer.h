#pragma once

#include <QWidget>

class QListWidget;

namespace quillcap {

// The developer's live view of the debug log: one entry a line, the newest
// selected so it stays in view. Never cleared during a run.
class HardLogViewer : public QWidget {
    Q_OBJECT
public:
    explicit HardLogViewer(QWidget *parent = nullptr);
    void HardLog(const QString &text);
    QListWidget *lstHardLog() const { return m_list; }

private:
    QListWidget *m_list;
};

} // namespace quillcap
