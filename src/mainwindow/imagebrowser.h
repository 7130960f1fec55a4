#pragma once

#include "naming/filenumbering.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;

namespace quillcap {

struct AppState;
class FileListBox;
class PreviewImage;
class Shell;
class UserMessages;

// The images already in the save folder: the list, the preview of the chosen
// one, its menu and deleting it. The listing is read at the refresh points
// and when the folder changes, never on a pointer move.
class ImageBrowser : public QObject {
    Q_OBJECT
public:
    ImageBrowser(AppState &state, Shell &shell, UserMessages &messages, FileListBox &fileBox,
                 QLabel &picViewer);
    ~ImageBrowser() override;

    // Re-reads the save folder; the entry chosen before stays chosen when it
    // is still there (exact name).
    void RefreshFileBox();
    // Makes `name` the only selected entry, if the list holds it exactly.
    void SelectFile(const QString &name);
    const FolderEntries &entries() const { return m_entries; }
    QString folder() const { return m_folder; }
    // Starts loading the chosen entry off the window's thread and shows it
    // fitted and centred once decoded; nothing when none is chosen or it
    // cannot be read. Only the latest request's picture is ever shown.
    void ShowPreview();
    // Asks, then moves the chosen entry to the trash.
    void DeleteImageInViewer();

    // Reads a file for the preview; runs on a worker thread.
    std::function<QImage(const QString &path)> decode;

signals:
    // The list, next number and next name want refreshing (UpdateStuff).
    void updateRequested();
    // Another program changed the folder; the listing was read again.
    void folderChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The one entry acted on (FileListBox::chosenName), in full.
    QString ChosenPath() const;
    QString FullPath(const QString &name) const;
    void FollowSelection();
    void FitPreview();
    void ShowDecoded(quint64 request, const QImage &picture);
    void OpenImageMenu(QPoint global);
    void Remove(const QString &path);
    void Watch(const QString &folder);

    AppState &m_state;
    Shell &m_shell;
    UserMessages &m_messages;
    FileListBox &m_fileBox;
    QLabel &m_picViewer;
    PreviewImage *m_imgPreview = nullptr;
    QMenu *m_iMenu = nullptr;
    QAction *m_itmKillImage = nullptr;
    QAction *m_itmOpenImage = nullptr;
    QAction *m_itmCopyImage = nullptr;
    QString m_folder;
    QString m_shownPath;
    FolderEntries m_entries;
    QFileSystemWatcher m_watcher;
    QTimer m_settle; // one read for a burst of changes
    struct Decodes;
    std::shared_ptr<Decodes> m_decodes; // shared with the decodes under way
};

} // namespace quillcap
