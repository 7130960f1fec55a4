#include "app/hardlogviewer.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace quillcap {

HardLogViewer::HardLogViewer(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHardLog"));
    setWindowTitle(QStringLiteral("Debug Log - QuillCap"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstHardLog"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_list);
    resize(566, 600);
    move(0, 0);
}

void HardLogViewer::HardLog(const QString &text) {
    m_list->addItem(text);
    m_list->setCurrentRow(m_list->count() - 1);
}

} // namespace quillcap
