#pragma once

#include "app/appstate.h"
#include "app/formposition.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace quillcap {

class AutostartEntry;
class Clock;
class FileListBox;
class HelpPanels;
class ImageBrowser;
class TemplateExpander;
class UserMessages;
struct Platform;

// The main window: every setting, the next file name and the list of images
// already in the target folder. Settings live in AppState; the controls
// mirror them and write them back when the user changes one.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char *kVersion = "3.1";
    static constexpr const char *kWebAddress = "https://quillcap.example.org";
    // Designed client area, pixels at 96 DPI (7635 x 7185 twips).
    static constexpr int kDesignedWidth = 509;
    static constexpr int kDesignedHeight = 479;

    MainWindow(AppState &state, Platform &platform, UserMessages &messages, const Clock &clock);
    ~MainWindow() override;

    // Re-applies folder, type and template to the list and the next name. A
    // missing save folder is reported and replaced by the default one; with
    // Defer (a capture is starting) the report waits for TellMissingFolder.
    enum class FolderReport { Now, Defer };
    void UpdateStuff(FolderReport report = FolderReport::Now);
    void TellMissingFolder();
    void RefreshFileBox();
    // Makes `name` the only selected entry, if the list holds it exactly.
    void SelectFile(const QString &name);
    void RefreshNextImageName();
    QString GetNextFileNumber() const;
    // The same for another template, over the same folder listing.
    QString GetNextFileNumber(const QString &rawTemplate) const;
    QString MakePrefix(const QString &rawTemplate) const;
    // Takes a new template as if the user had typed it.
    void SetPrefix(const QString &rawTemplate);
    QString NextImageName() const;
    void CheckFormPosition();
    // Ends the program the way the close box does.
    void ExitProgram() { close(); }
    // Unloads the shown help panels and gives their tabs back, closed: for
    // whatever takes the window out of sight.
    void CloseHelpPanels();
    // Back from the tray or the taskbar: normal state, shown, in front and
    // on the desktop.
    void ExpandWindow();

    // Puts the state's settings into the controls without running handlers.
    void ShowSettings();
    void ShowVersion();
    void ShowCaption();
    // The line under the settings saying which Print keys other programs
    // hold; hidden when the text is empty.
    void ShowHotKeyClash(const QString &text);
    void SetStartingUp(bool on) { m_startingUp = on; }
    // The entry "Start with the desktop" writes and removes; without one the
    // box is disabled.
    void SetAutostart(const AutostartEntry *entry);
    // Start-up step that fixes minimum size and the preview's right margin.
    void RecordLayout();

    // The client area's corner in twips, the primary monitor's corner at
    // (0, 0): what the settings store.
    QPoint PositionTwips() const;
    void MoveToTwips(QPoint twips);
    void MoveToDesignPosition();
    // The frame, in twips.
    TwipsRect GeometryTwips() const;

    FileListBox *fileBox() const { return m_fileBox; }
    QString fileBoxFolder() const;
    ImageBrowser &browser() const { return *m_browser; }

signals:
    // The window is closing: save and release everything.
    void unloading();
    void snapRequested();
    // The user minimized the window: the tray takes it, help panels close.
    void minimized();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void ConnectHandlers();
    void LayoutChanged();
    void CheckSaveFolder(FolderReport report);
    QPoint ToTwips(QPoint global) const;
    QPoint FromTwips(QPoint twips) const;
    // Takes a folder the user typed or picked, or refuses it with the reason.
    void ChangeSaveFolder(const QString &folder);
    // lblNextNumber and the next image name, from the kept listing.
    void RefreshNextNames();
    void ShowAutostart();
    void ChangeAutostart(bool on);

    AppState &m_state;
    Platform &m_platform;
    UserMessages &m_messages;
    std::unique_ptr<TemplateExpander> m_expander;
    const AutostartEntry *m_autostart = nullptr;
    HelpPanels *m_helpPanels = nullptr; // a child

    bool m_startingUp = false;
    bool m_showingSettings = false;
    QString m_missingFolder; // noted while a capture starts
    std::unique_ptr<ImageBrowser> m_browser;

    QLabel *m_label3 = nullptr;
    QLabel *m_label4 = nullptr;
    QLabel *m_lblNextNumber = nullptr;
    QToolButton *m_imgSnapNow = nullptr;
    QLabel *m_label1 = nullptr;
    QLineEdit *m_txtPrefix = nullptr;
    QLabel *m_label5 = nullptr;
    QComboBox *m_cmbFileType = nullptr;
    QLabel *m_lbl2 = nullptr;
    QLabel *m_lblNextName = nullptr;
    QPushButton *m_cmdChangeSaveFolder = nullptr;
    QLineEdit *m_txtSaveFolder = nullptr;
    QFrame *m_shape1 = nullptr;
    QLabel *m_lblHotKeyClash = nullptr;
    QLabel *m_label2 = nullptr;
    FileListBox *m_fileBox = nullptr;
    QLabel *m_picViewer = nullptr;
    QLabel *m_lblDragFileInfo = nullptr;
    QLabel *m_lblDragImageInfo = nullptr;
    QToolButton *m_imgCodesBox = nullptr;
    QToolButton *m_imgCommandsBox = nullptr;
    QFrame *m_frame3 = nullptr;
    QCheckBox *m_chkStartMinimized = nullptr;
    QCheckBox *m_chkShowInTaskbar = nullptr;
    QCheckBox *m_chkShowMsg = nullptr;
    QCheckBox *m_chkPlaySound = nullptr;
    QCheckBox *m_chkShowMouse = nullptr;
    QCheckBox *m_chkStartWithDesktop = nullptr;
    QLabel *m_lblWebAddress = nullptr;
    QLabel *m_lblVersion = nullptr;
};

} // namespace quillcap
