// The main window's controls, their texts and how they are anchored: the list
// and the preview stretch; the tab icons, the snap button, the type list and
// its caption keep to the right; the check boxes, hints, version and web
// label keep to the bottom.
#include "mainwindow/mainwindow.h"

#include "mainwindow/browserwidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillcap {

namespace {

template <class W> W *named(W *widget, const char *name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel *label(QWidget *parent, const char *name, const QString &text) {
    return named(new QLabel(text, parent), name);
}

QCheckBox *checkBox(QWidget *parent, const char *name, const QString &text, const QString &tip) {
    auto *box = named(new QCheckBox(text, parent), name);
    box->setToolTip(tip);
    return box;
}

QToolButton *iconButton(QWidget *parent, const char *name, QStyle::StandardPixmap icon,
                        const QString &tip) {
    auto *button = named(new QToolButton(parent), name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    button->setToolTip(tip);
    return button;
}

} // namespace

void MainWindow::BuildControls() {
    m_label3 = label(this, "Label3",
                     QStringLiteral("Press PrtScr in any program to start screen capture."));
    m_label4 =
        label(this, "Label4", QStringLiteral("Press SPACE BAR or ENTER to complete capture."));
    m_lblNextNumber = label(this, "lblNextNumber", QStringLiteral("xxx"));
    m_lblNextNumber->setToolTip(QStringLiteral("This number will be part of the filename."));
    m_imgSnapNow = iconButton(this, "imgSnapNow", QStyle::SP_DialogApplyButton, QString());
    m_imgSnapNow->setIconSize(QSize(32, 32));

    m_shape1 = named(new QFrame(this), "Shape1");
    m_shape1->setFrameShape(QFrame::Box);
    m_label1 = label(m_shape1, "Label1", QStringLiteral("snapshot prefix"));
    m_txtPrefix = named(new QLineEdit(QStringLiteral("QuillCap_"), m_shape1), "txtPrefix");
    m_txtPrefix->setToolTip(QStringLiteral("Type in the filename template here"));
    m_label5 = label(m_shape1, "Label5", QStringLiteral("image type :"));
    m_cmbFileType = named(new QComboBox(m_shape1), "cmbFileType");
    m_lbl2 = label(m_shape1, "lbl2", QStringLiteral("next image name :"));
    m_lblNextName = label(m_shape1, "lblNextName", QStringLiteral("(next image file name)"));
    m_lblNextName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_cmdChangeSaveFolder = named(new QPushButton(QStringLiteral("Save In Folder .."), m_shape1),
                                  "cmdChangeSaveFolder");
    m_cmdChangeSaveFolder->setToolTip(
        QStringLiteral("Click here to change what folder your screen captures will be saved to"));
    m_txtSaveFolder = named(new QLineEdit(QStringLiteral("booting"), m_shape1), "txtSaveFolder");
    m_txtSaveFolder->setToolTip(
        QStringLiteral("Folder where your screen captures will be saved in"));

    auto *settings = new QGridLayout(m_shape1);
    settings->setContentsMargins(6, 6, 3, 6);
    settings->addWidget(m_label1, 0, 0);
    settings->addWidget(m_txtPrefix, 0, 1);
    settings->addWidget(m_label5, 0, 2);
    settings->addWidget(m_cmbFileType, 0, 3);
    settings->addWidget(m_lbl2, 1, 0);
    settings->addWidget(m_lblNextName, 1, 1, 1, 3);
    settings->addWidget(m_cmdChangeSaveFolder, 2, 0);
    settings->addWidget(m_txtSaveFolder, 2, 1, 1, 3);
    m_lblHotKeyClash = label(m_shape1, "lblHotKeyClash", QString());
    m_lblHotKeyClash->setWordWrap(true);
    m_lblHotKeyClash->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lblHotKeyClash->hide();
    settings->addWidget(m_lblHotKeyClash, 3, 0, 1, 4);
    settings->setColumnStretch(1, 1);

    m_imgCodesBox = iconButton(this, "imgCodesBox", QStyle::SP_FileDialogDetailedView,
                               QStringLiteral("File name codes"));
    m_imgCommandsBox = iconButton(this, "imgCommandsBox", QStyle::SP_MessageBoxQuestion,
                                  QStringLiteral("Capture commands"));

    m_label2 = label(this, "Label2", QStringLiteral("Images in target folder :"));
    m_fileBox = named(new FileListBox(this), "fileBox");
    m_fileBox->setToolTip(QStringLiteral("List of files in the current target directory."));
    m_fileBox->setMinimumWidth(150);
    m_fileBox->setMaximumWidth(170);
    m_picViewer = label(this, "picViewer", QString());
    m_picViewer->setToolTip(QStringLiteral("(right click for actions)"));
    m_picViewer->setAutoFillBackground(true);
    m_picViewer->setStyleSheet(QStringLiteral("background-color: rgb(64, 64, 64);"));
    m_picViewer->setMinimumSize(200, 150);
    m_picViewer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_lblDragFileInfo = label(this, "lblDragFileInfo",
                              QStringLiteral("Drag filename(s) to copy to other location"));
    m_lblDragImageInfo =
        label(this, "lblDragImageInfo", QStringLiteral("Drag image to copy to other application"));
    for (QLabel *hint : {m_lblDragFileInfo, m_lblDragImageInfo}) {
        QFont small = hint->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        hint->setFont(small);
    }
    m_lblDragFileInfo->setWordWrap(true);

    m_frame3 = named(new QFrame(this), "Frame3");
    m_frame3->setFrameShape(QFrame::StyledPanel);
    m_chkStartMinimized =
        checkBox(m_frame3, "chkStartMinimized", QStringLiteral("Always start QuillCap minimized"),
                 QStringLiteral("Loads QuillCap into the system-tray only."));
    m_chkShowInTaskbar = checkBox(m_frame3, "chkShowInTaskbar",
                                  QStringLiteral("Show QuillCap in Taskbar (when not minimized)"),
                                  QStringLiteral("This option required a restart of QuillCap"));
    m_chkShowMsg = checkBox(
        m_frame3, "chkShowMsg", QStringLiteral("Show Message after capture"),
        QStringLiteral("A pop-up post-capture message noting if file save was successful."));
    m_chkPlaySound =
        checkBox(m_frame3, "chkPlaySound", QStringLiteral("Play sound after capture"),
                 QStringLiteral("QuillCap will beep upon capture, or buzz on an error."));
    m_chkShowMouse =
        checkBox(m_frame3, "chkShowMouse", QStringLiteral("Show mouse pointer in capture"),
                 QStringLiteral("The mouse cursor will be included in the screen capture."));
    m_chkStartWithDesktop =
        checkBox(m_frame3, "chkStartWithDesktop", QStringLiteral("Start with the desktop"),
                 QStringLiteral("QuillCap starts when you log in."));
    auto *checks = new QGridLayout(m_frame3);
    checks->setContentsMargins(6, 4, 6, 4);
    checks->setVerticalSpacing(2);
    checks->addWidget(m_chkStartMinimized, 0, 0);
    checks->addWidget(m_chkShowInTaskbar, 1, 0);
    checks->addWidget(m_chkShowMsg, 2, 0);
    checks->addWidget(m_chkPlaySound, 0, 1);
    checks->addWidget(m_chkShowMouse, 1, 1);
    checks->addWidget(m_chkStartWithDesktop, 2, 1);

    m_lblWebAddress =
        label(this, "lblWebAddress", QStringLiteral("More help at ") + QLatin1String(kWebAddress));
    m_lblWebAddress->setCursor(Qt::PointingHandCursor);
    m_lblWebAddress->setStyleSheet(QStringLiteral("color: rgb(0, 0, 192);"));
    m_lblVersion = label(this, "lblVersion", QString());
    m_lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 6);
    grid->setVerticalSpacing(4);
    auto *instructions = new QVBoxLayout;
    instructions->addWidget(m_label3);
    auto *second = new QHBoxLayout;
    second->addWidget(m_label4);
    second->addSpacing(6);
    second->addWidget(m_lblNextNumber);
    second->addStretch(1);
    instructions->addLayout(second);
    grid->addLayout(instructions, 0, 0, 1, 2);
    grid->addWidget(m_imgSnapNow, 0, 2, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(m_shape1, 1, 0, 1, 2);
    grid->addWidget(m_imgCodesBox, 1, 2, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(m_label2, 2, 0, 1, 3);
    grid->addWidget(m_fileBox, 3, 0);
    grid->addWidget(m_picViewer, 3, 1, 1, 2);
    grid->addWidget(m_lblDragFileInfo, 4, 0, Qt::AlignTop);
    auto *underPreview = new QHBoxLayout;
    underPreview->addWidget(m_lblDragImageInfo, 1, Qt::AlignTop);
    underPreview->addWidget(m_imgCommandsBox, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addLayout(underPreview, 4, 1, 1, 2);
    grid->addWidget(m_frame3, 5, 0, 1, 3);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_lblWebAddress, 1);
    bottom->addWidget(m_lblVersion);
    grid->addLayout(bottom, 6, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);

    // Keyboard users move through the settings in reading order; the picture
    // buttons and the web label are for the mouse.
    for (QWidget *mouseOnly :
         {static_cast<QWidget *>(m_imgSnapNow), static_cast<QWidget *>(m_imgCodesBox),
          static_cast<QWidget *>(m_imgCommandsBox)})
        mouseOnly->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget *> order = {
        m_txtPrefix,    m_cmbFileType,       m_cmdChangeSaveFolder, m_txtSaveFolder,
        m_fileBox,      m_chkStartMinimized, m_chkShowInTaskbar,    m_chkShowMsg,
        m_chkPlaySound, m_chkShowMouse,      m_chkStartWithDesktop};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    m_txtPrefix->setFocus();
}

} // namespace quillcap
