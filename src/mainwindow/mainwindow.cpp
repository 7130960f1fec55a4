#include "mainwindow/mainwindow.h"

#include "app/pathtext.h"
#include "app/usermessages.h"
#include "mainwindow/browserwidgets.h"
#include "mainwindow/helppanels.h"
#include "mainwindow/imagebrowser.h"
#include "naming/filenumbering.h"
#include "naming/templateexpander.h"
#include "platform/autostartentry.h"
#include "platform/folderaccess.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QToolButton>
#include <cmath>
#include <utility>

namespace quillcap {

MainWindow::MainWindow(AppState &state, Platform &platform, UserMessages &messages,
                       const Clock &clock)
    : QWidget(nullptr, Qt::Window), m_state(state), m_platform(platform), m_messages(messages),
      m_expander(std::make_unique<TemplateExpander>(clock)) {
    setObjectName(QStringLiteral("qCap"));
    setWindowTitle(QStringLiteral("Quill Cap"));
    BuildControls();
    m_browser =
        std::make_unique<ImageBrowser>(state, *platform.shell, messages, *m_fileBox, *m_picViewer);
    for (const char *type : kFileTypes)
        m_cmbFileType->addItem(QLatin1String(type));
    ConnectHandlers();
    m_helpPanels = new HelpPanels(*this, *m_imgCommandsBox, *m_imgCodesBox, *platform.screens);
    const QSize designed = QSize(kDesignedWidth, kDesignedHeight).expandedTo(minimumSizeHint());
    resize(designed);
    // The native window exists from the start with the caption a second copy
    // looks for, so one started while this one still starts up is refused too
    // (two copies would overwrite each other's settings).
    ShowCaption();
    winId();
}

MainWindow::~MainWindow() {
    // The browser hangs on the preview area; it goes first.
    m_browser.reset();
}

void MainWindow::ConnectHandlers() {
    auto &settings = m_state.settings;
    // Any user change counts, by mouse or by typing a letter on the closed
    // list; changes made while showing the settings do not.
    connect(m_cmbFileType, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_showingSettings || index < 0)
            return;
        m_state.settings.fileTypeIndex = index;
        UpdateStuff();
    });
    connect(m_txtPrefix, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_state.settings.prefix = text;
        UpdateStuff();
    });
    // Typing a folder and leaving the field applies it like the button does.
    connect(m_txtSaveFolder, &QLineEdit::editingFinished, this, [this] {
        if (m_txtSaveFolder->text() != m_state.settings.saveFolder)
            ChangeSaveFolder(m_txtSaveFolder->text());
    });
    connect(m_cmdChangeSaveFolder, &QPushButton::clicked, this, [this] {
        const QString picked = m_platform.shell->BrowseForFolder(
            this, QStringLiteral("Please select a folder:"), m_state.settings.saveFolder);
        // Cancel changes nothing.
        if (!picked.isEmpty())
            ChangeSaveFolder(picked);
    });
    const std::pair<QCheckBox *, int *> boxes[] = {
        {m_chkStartMinimized, &settings.startMinimized},
        {m_chkShowInTaskbar, &settings.showInTaskbar},
        {m_chkShowMsg, &settings.showMsg},
        {m_chkPlaySound, &settings.playSound},
        {m_chkShowMouse, &settings.showMouse},
    };
    for (auto [box, value] : boxes) {
        connect(box, &QCheckBox::clicked, this,
                [box, value] { *value = box->checkState() == Qt::Checked ? 1 : 0; });
    }
    connect(m_chkShowInTaskbar, &QCheckBox::clicked, this, [this] {
        if (isVisible())
            m_messages.Inform(
                QStringLiteral("This will take effect the next time you start QuillCap."));
    });
    connect(m_chkStartWithDesktop, &QCheckBox::clicked, this, &MainWindow::ChangeAutostart);
    connect(m_imgSnapNow, &QToolButton::clicked, this, &MainWindow::snapRequested);
    connect(m_browser.get(), &ImageBrowser::updateRequested, this, [this] { UpdateStuff(); });
    connect(m_browser.get(), &ImageBrowser::folderChanged, this, &MainWindow::RefreshNextNames);

    // The next name follows the pointer over the window, so date codes stay
    // current; the web label opens the home page.
    setMouseTracking(true);
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>()) {
        // A pop-up menu keeps its own keys (Down moves through the menu, not
        // the file list).
        if (qobject_cast<QMenu *>(child))
            continue;
        child->setMouseTracking(true);
        child->installEventFilter(this);
    }
}

void MainWindow::ShowSettings() {
    const Settings &s = m_state.settings;
    const QScopedValueRollback guard(m_showingSettings, true);
    m_cmbFileType->setCurrentIndex(s.fileTypeIndex);
    m_txtPrefix->setText(s.prefix);
    m_txtSaveFolder->setText(s.saveFolder);
    const std::pair<QCheckBox *, int> boxes[] = {
        {m_chkStartMinimized, s.startMinimized},
        {m_chkShowInTaskbar, s.showInTaskbar},
        {m_chkShowMsg, s.showMsg},
        {m_chkPlaySound, s.playSound},
        {m_chkShowMouse, s.showMouse},
    };
    for (auto [box, value] : boxes) {
        box->setTristate(value == 2);
        box->setCheckState(value == 0   ? Qt::Unchecked
                           : value == 1 ? Qt::Checked
                                        : Qt::PartiallyChecked);
    }
}

void MainWindow::SetAutostart(const AutostartEntry *entry) {
    m_autostart = entry;
    ShowAutostart();
}

// The file is the setting: the box shows whether it is there.
void MainWindow::ShowAutostart() {
    m_chkStartWithDesktop->setEnabled(m_autostart != nullptr);
    m_chkStartWithDesktop->setChecked(m_autostart && m_autostart->Exists());
}

void MainWindow::ChangeAutostart(bool on) {
    if (!m_autostart)
        return;
    const QString problem = on ? m_autostart->Write() : m_autostart->Remove();
    if (!problem.isEmpty()) {
        const QString what =
            (on ? QStringLiteral("Cannot write ") : QStringLiteral("Cannot remove ")) +
            m_autostart->FilePath() + QStringLiteral(": ");
        m_state.log.WriteLog(what + problem);
        m_messages.Warn(what + QStringLiteral("\r") + problem);
    }
    ShowAutostart();
}

void MainWindow::ShowVersion() {
    m_lblVersion->setText(QLatin1String(kVersion));
}

void MainWindow::ShowHotKeyClash(const QString &text) {
    m_lblHotKeyClash->setText(text);
    m_lblHotKeyClash->setVisible(!text.isEmpty());
    // The window grows by the line rather than squeezing the list and the
    // preview over the labels under them.
    // A wrapped line's height depends on the width, which the minimum size
    // leaves out.
    layout()->activate();
    const int needed =
        qMax(layout()->totalMinimumSize().height(),
             layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width()) : 0);
    setMinimumHeight(qMax(minimumHeight(), needed));
    if (height() < needed)
        resize(width(), needed);
}

void MainWindow::ShowCaption() {
    setWindowTitle(MainCaption(m_state.NumberOfSnaps, QLocale::system()));
}

void MainWindow::CheckSaveFolder(FolderReport report) {
    if (PathExists(m_state.settings.saveFolder))
        return;
    const QString missing = m_state.settings.saveFolder;
    m_state.settings.saveFolder = m_state.defaultSaveFolder;
    m_txtSaveFolder->setText(m_state.settings.saveFolder);
    if (report == FolderReport::Defer) {
        m_state.log.WriteLog(QStringLiteral("Cannot find folder: ") + missing +
                             QStringLiteral(" (told after the capture)"));
        m_missingFolder = missing;
        return;
    }
    m_messages.Warn(QStringLiteral("Cannot find folder: \r") + missing);
}

void MainWindow::TellMissingFolder() {
    if (m_missingFolder.isEmpty())
        return;
    const QString missing = std::exchange(m_missingFolder, QString());
    m_messages.Warn(QStringLiteral("Cannot find folder: \r") + missing +
                    QStringLiteral("\r\rCaptures are now saved in: \r") +
                    m_state.settings.saveFolder);
}

void MainWindow::ChangeSaveFolder(const QString &folder) {
    // A folder that is not there gets the usual report and the default one.
    const QString problem = PathExists(folder) ? FolderWriteProblem(folder) : QString();
    if (problem.isEmpty()) {
        m_state.settings.saveFolder = folder;
        m_txtSaveFolder->setText(folder);
        UpdateStuff();
        return;
    }
    // The field shows the earlier folder before the box opens: the box takes
    // the focus, and the field would report its text a second time.
    m_txtSaveFolder->setText(m_state.settings.saveFolder);
    m_state.log.WriteLog(QStringLiteral("Refused save folder ") + folder + QStringLiteral(": ") +
                         problem);
    m_messages.Warn(QStringLiteral("Cannot save in folder: \r") + folder + u'\r' + problem);
}

void MainWindow::UpdateStuff(FolderReport report) {
    Settings &s = m_state.settings;
    if (s.saveFolder != QLatin1String("booting"))
        CheckSaveFolder(report);
    m_fileBox->setToolTip(s.FileTypeText() +
                          QStringLiteral(" files in the current target directory"));
    RefreshFileBox();
    RefreshNextNames();
}

void MainWindow::RefreshNextNames() {
    m_lblNextNumber->setText(GetNextFileNumber());
    RefreshNextImageName();
}

void MainWindow::RefreshFileBox() {
    m_browser->RefreshFileBox();
}

QString MainWindow::fileBoxFolder() const {
    return m_browser->folder();
}

void MainWindow::SelectFile(const QString &name) {
    m_browser->SelectFile(name);
}

QString MainWindow::GetNextFileNumber() const {
    return quillcap::GetNextFileNumber(*m_expander, m_state.settings.prefix, m_browser->entries(),
                                       m_state.settings.FileTypeText());
}

QString MainWindow::GetNextFileNumber(const QString &rawTemplate) const {
    return quillcap::GetNextFileNumber(*m_expander, rawTemplate, m_browser->entries(),
                                       m_state.settings.FileTypeText());
}

QString MainWindow::MakePrefix(const QString &rawTemplate) const {
    return m_expander->MakePrefix(rawTemplate);
}

void MainWindow::SetPrefix(const QString &rawTemplate) {
    m_state.settings.prefix = rawTemplate;
    m_txtPrefix->setText(rawTemplate);
    UpdateStuff();
}

QString MainWindow::NextImageName() const {
    return quillcap::NextImageName(*m_expander, m_state.settings.prefix, m_browser->entries(),
                                   m_state.settings.FileTypeText());
}

void MainWindow::RefreshNextImageName() {
    m_lblNextName->setText(NextImageName());
}

// Positions are stored as the client area's corner: that is the corner
// Qt places before the window manager has framed the window, so a restart
// puts the window exactly where it was (the frame's corner made it creep by
// the title bar at every start).
QPoint MainWindow::ToTwips(QPoint global) const {
    const QPoint pos = global - m_platform.screens->PrimaryOrigin();
    return QPoint(int(std::lround(pos.x() * m_platform.screens->TwipsPerPixelX())),
                  int(std::lround(pos.y() * m_platform.screens->TwipsPerPixelY())));
}

QPoint MainWindow::FromTwips(QPoint twips) const {
    return m_platform.screens->PrimaryOrigin() +
           QPoint(int(std::lround(twips.x() / m_platform.screens->TwipsPerPixelX())),
                  int(std::lround(twips.y() / m_platform.screens->TwipsPerPixelY())));
}

QPoint MainWindow::PositionTwips() const {
    return ToTwips(geometry().topLeft());
}

void MainWindow::MoveToTwips(QPoint twips) {
    setGeometry(QRect(FromTwips(twips), size()));
}

void MainWindow::MoveToDesignPosition() {
    const QSize screen = m_platform.screens->PrimarySize();
    setGeometry(QRect(m_platform.screens->PrimaryOrigin() +
                          QPoint(qMax(0, (screen.width() - width()) / 2),
                                 qMax(0, (screen.height() - height()) / 2)),
                      size()));
}

TwipsRect MainWindow::GeometryTwips() const {
    const QRect frame = frameGeometry();
    const QPoint pos = ToTwips(frame.topLeft());
    return {double(pos.x()), double(pos.y()), frame.width() * m_platform.screens->TwipsPerPixelX(),
            frame.height() * m_platform.screens->TwipsPerPixelY()};
}

void MainWindow::CheckFormPosition() {
    if (isMinimized())
        return;
    // The whole frame is kept on the desktop; the client follows it.
    const TwipsRect placed = quillcap::CheckFormPosition(
        GeometryTwips(),
        QRect(QPoint(m_state.minLeft, m_state.minTop),
              QPoint(m_state.maxRight - 1, m_state.maxBottom - 1)),
        m_platform.screens->TwipsPerPixelX(), m_platform.screens->TwipsPerPixelY(), m_state.log);
    const QPoint frameCorner =
        FromTwips(QPoint(int(std::lround(placed.left)), int(std::lround(placed.top))));
    setGeometry(QRect(frameCorner + (geometry().topLeft() - frameGeometry().topLeft()), size()));
}

void MainWindow::ExpandWindow() {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
    CheckFormPosition();
}

void MainWindow::RecordLayout() {
    setMinimumSize(size());
}

void MainWindow::LayoutChanged() {
    if (m_startingUp || isMinimized())
        return;
    UpdateStuff();
    m_state.lastNormalPosition = PositionTwips();
}

void MainWindow::closeEvent(QCloseEvent *event) {
    emit unloading();
    event->accept();
}

void MainWindow::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    LayoutChanged();
    m_helpPanels->PlaceVisible();
}

// The panels stay beside the window wherever it goes.
void MainWindow::moveEvent(QMoveEvent *event) {
    QWidget::moveEvent(event);
    m_helpPanels->PlaceVisible();
}

void MainWindow::CloseHelpPanels() {
    m_helpPanels->CloseHelpPanels();
}

void MainWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    LayoutChanged();
}

void MainWindow::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized())
        CloseHelpPanels();
    LayoutChanged();
    if (isMinimized() &&
        !(static_cast<QWindowStateChangeEvent *>(event)->oldState() & Qt::WindowMinimized))
        emit minimized();
}

void MainWindow::keyPressEvent(QKeyEvent *event) {
    // Down takes the user into the image list.
    if (event->key() == Qt::Key_Down && m_fileBox->count() > 0) {
        // The row first: the list makes its first row current as it takes
        // the focus, and Down would skip it.
        const int row = qMin(m_fileBox->currentRow() + 1, m_fileBox->count() - 1);
        m_fileBox->setFocus();
        m_fileBox->setCurrentRow(row);
        return;
    }
    QWidget::keyPressEvent(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseMove) {
        RefreshNextImageName();
    } else if (watched == m_lblWebAddress && event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        m_platform.shell->OpenUrl(QLatin1String(kWebAddress));
        return true;
    } else if (event->type() == QEvent::KeyPress && watched != m_fileBox &&
               static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down &&
               !qobject_cast<QComboBox *>(watched)) {
        keyPressEvent(static_cast<QKeyEvent *>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quillcap
