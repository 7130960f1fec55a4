#include "overlay/filenamepopup.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>

namespace quillcap {

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &text) {
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

FileNamePopUp::FileNamePopUp(QWidget *overlay) : QFrame(overlay) {
    setObjectName(QStringLiteral("picFilenamePopUp"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(192, 224, 255));
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    // Over the panel the pointer is the plain arrow, whatever the box wants.
    setCursor(Qt::ArrowCursor);

    m_lblSaveFolder = label(this, "lblSaveFolder", QStringLiteral("Current save folder"));
    m_lblCurrentFilename = label(this, "lblCurrentFilename", QString());
    m_txtNewFilename = new QLineEdit(this);
    m_txtNewFilename->setObjectName(QStringLiteral("txtNewFilename"));
    m_txtNewFilename->setMinimumWidth(260);
    m_lblOverrideExtension = label(this, "lblOverrideExtension", QStringLiteral(".xxx"));
    QFont bold = m_lblOverrideExtension->font();
    bold.setBold(true);
    m_lblOverrideExtension->setFont(bold);
    m_chkNewPrefix = new QCheckBox(QStringLiteral("Use this as the new file prefix"), this);
    m_chkNewPrefix->setObjectName(QStringLiteral("chkNewPrefix"));
    m_lblTempFileName = label(this, "lblTempFileName", QStringLiteral("(new filename)"));
    m_imgOkFree = label(this, "imgOk1", QString());
    m_imgOkFree->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(16, 16));
    m_imgOkFree->setToolTip(QStringLiteral("No file of this name yet"));
    m_imgOkTaken = label(this, "imgOk0", QString());
    m_imgOkTaken->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
    m_imgOkTaken->setToolTip(QStringLiteral("A file of this name exists and will be replaced"));
    m_cmdPopUpOk = new QPushButton(QStringLiteral("Ok"), this);
    m_cmdPopUpOk->setObjectName(QStringLiteral("cmdPopUpOk"));
    m_cmdPopupCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdPopupCancel->setObjectName(QStringLiteral("cmdPopupCancel"));
    for (QPushButton *button : {m_cmdPopUpOk, m_cmdPopupCancel}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
    }

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->addWidget(m_lblSaveFolder, 0, 0, 1, 4);
    grid->addWidget(label(this, "Label6", QStringLiteral("Next Filename : ")), 1, 0);
    grid->addWidget(m_lblCurrentFilename, 1, 1, 1, 3);
    grid->addWidget(label(this, "Label7", QStringLiteral("Temp Prefix :")), 2, 0);
    grid->addWidget(m_txtNewFilename, 2, 1);
    grid->addWidget(m_lblOverrideExtension, 2, 2);
    grid->addWidget(m_chkNewPrefix, 3, 1, 1, 3);
    grid->addWidget(label(this, "Label8", QStringLiteral("temp filename is :")), 4, 0);
    grid->addWidget(m_lblTempFileName, 4, 1);
    grid->addWidget(m_imgOkFree, 4, 2);
    grid->addWidget(m_imgOkTaken, 4, 3);
    grid->addWidget(m_cmdPopUpOk, 5, 2);
    grid->addWidget(m_cmdPopupCancel, 5, 3);

    connect(m_txtNewFilename, &QLineEdit::textChanged, this, &FileNamePopUp::txtNewFilename_Change);
    connect(m_chkNewPrefix, &QCheckBox::clicked, this, &FileNamePopUp::txtNewFilename_Change);
    hide();
}

void FileNamePopUp::Open(const Context &context, const QString &lastOverrideName) {
    m_context = context;
    m_lblSaveFolder->setText(context.saveFolder);
    m_lblCurrentFilename->setText(context.nextName);
    m_lblOverrideExtension->setText(u'.' + context.typeText);
    m_imgOkFree->hide();
    m_imgOkTaken->hide();
    m_chkNewPrefix->setChecked(false);
    m_txtNewFilename->setText(lastOverrideName);
    txtNewFilename_Change();
    adjustSize();
    show();
    raise();
    m_txtNewFilename->setFocus();
}

void FileNamePopUp::mousePressEvent(QMouseEvent *event) {
    event->accept();
}

void FileNamePopUp::mouseReleaseEvent(QMouseEvent *event) {
    event->accept();
}

QString FileNamePopUp::tempFileName() const {
    return m_lblTempFileName->text();
}

bool FileNamePopUp::useAsNewPrefix() const {
    return m_chkNewPrefix->isChecked();
}

bool FileNamePopUp::NameOk(const QString &fullPath) {
    // Anything under that name, hidden or a folder, would stop the save.
    const QFileInfo info(fullPath);
    return !info.exists() && !info.isSymLink();
}

void FileNamePopUp::txtNewFilename_Change() {
    if (!m_context.MakePrefix)
        return;
    const QString raw = m_txtNewFilename->text();
    const QString extension = m_context.typeText.toLower();
    QString name = m_context.MakePrefix(raw);
    if (m_chkNewPrefix->isChecked())
        name += m_context.GetNextFileNumber(raw);
    m_lblTempFileName->setText(name + u'.' + extension);
    const QString full = m_context.saveFolder + u'/' + m_lblTempFileName->text();
    if (raw.isEmpty()) {
        m_taken = false;
        m_imgOkFree->hide();
        m_imgOkTaken->hide();
        return;
    }
    m_taken = !NameOk(full);
    m_imgOkFree->setVisible(!m_taken);
    m_imgOkTaken->setVisible(m_taken);
}

} // namespace quillcap
