#include "mainwindow/imagebrowser.h"

#include "app/appstate.h"
#include "app/pathtext.h"
#include "app/usermessages.h"
#include "codec/gdiplus.h"
#include "mainwindow/browserwidgets.h"
#include "mainwindow/imagefolder.h"
#include "mainwindow/previewfit.h"
#include "platform/folderaccess.h"
#include "platform/platform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>
#include <QThreadPool>
#include <atomic>
#include <mutex>

namespace quillcap {

// What a decode on a worker thread shares with the browser: the latest
// request, and the browser to hand the picture to, gone with the browser.
struct ImageBrowser::Decodes {
    std::atomic<quint64> latest{0};
    std::mutex lock;
    ImageBrowser *browser = nullptr;
};

ImageBrowser::ImageBrowser(AppState &state, Shell &shell, UserMessages &messages,
                           FileListBox &fileBox, QLabel &picViewer)
    : m_state(state), m_shell(shell), m_messages(messages), m_fileBox(fileBox),
      m_picViewer(picViewer), m_imgPreview(new PreviewImage(&picViewer)),
      // Owned by the window: the viewer's dark background would colour it.
      m_iMenu(new QMenu(picViewer.window())), m_decodes(std::make_shared<Decodes>()) {
    m_decodes->browser = this;
    // A file that cannot be read, or too large to decode, gives nothing.
    decode = [](const QString &path) { return GdiPlus().FilenameToIPicture(path); };
    m_fileBox.fullPath = [this](const QString &name) { return FullPath(name); };
    m_imgPreview->setToolTip(m_picViewer.toolTip());
    m_imgPreview->hide();
    m_iMenu->setObjectName(QStringLiteral("ImageMenu"));
    m_itmKillImage = m_iMenu->addAction(QStringLiteral("Delete This Image"), this,
                                        &ImageBrowser::DeleteImageInViewer);
    m_itmOpenImage = m_iMenu->addAction(QStringLiteral("Open"), this, [this] {
        if (!ChosenPath().isEmpty())
            m_shell.OpenFile(ChosenPath());
    });
    m_itmCopyImage = m_iMenu->addAction(QStringLiteral("Copy Image"), this, [this] {
        if (!m_imgPreview->picture().isNull())
            QGuiApplication::clipboard()->setImage(m_imgPreview->picture());
    });
    m_itmKillImage->setObjectName(QStringLiteral("itmKillImage"));
    m_itmOpenImage->setObjectName(QStringLiteral("itmOpenImage"));
    m_itmCopyImage->setObjectName(QStringLiteral("itmCopyImage"));

    m_picViewer.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_picViewer, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { OpenImageMenu(m_picViewer.mapToGlobal(at)); });
    m_picViewer.installEventFilter(this);
    m_fileBox.installEventFilter(this);
    connect(m_fileBox.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ImageBrowser::FollowSelection);
    connect(m_fileBox.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ImageBrowser::FollowSelection);
    connect(&m_fileBox, &QAbstractItemView::doubleClicked, this, &ImageBrowser::updateRequested);

    m_settle.setSingleShot(true);
    m_settle.setInterval(150);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
    connect(&m_settle, &QTimer::timeout, this, [this] {
        RefreshFileBox();
        emit folderChanged();
    });
}

ImageBrowser::~ImageBrowser() {
    m_fileBox.fullPath = nullptr;
    // A decode still running hands its picture to no one; one already handed
    // over goes with this object's queued events.
    ++m_decodes->latest;
    const std::lock_guard hold(m_decodes->lock);
    m_decodes->browser = nullptr;
}

QString ImageBrowser::FullPath(const QString &name) const {
    return m_folder + u'/' + name;
}

QString ImageBrowser::ChosenPath() const {
    const QString name = m_fileBox.chosenName();
    return name.isEmpty() ? QString() : FullPath(name);
}

void ImageBrowser::Watch(const QString &folder) {
    if (m_watcher.directories() == QStringList{folder})
        return;
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    if (!folder.isEmpty())
        m_watcher.addPath(folder);
}

void ImageBrowser::RefreshFileBox() {
    const int current = m_fileBox.currentRow();
    const QString remembered = current >= 0 ? m_fileBox.names().value(current) : QString();
    {
        // The preview follows once, below, not at every step.
        const QSignalBlocker quiet(m_fileBox.selectionModel());
        m_folder = m_state.settings.saveFolder.trimmed();
        ImageFolder read;
        if (!m_folder.isEmpty())
            read = ReadImageFolder(m_folder, m_state.settings.FileTypeText());
        m_fileBox.setNames(read.files);
        m_entries = std::move(read.entries);
        if (!remembered.isEmpty())
            SelectFile(remembered);
    }
    Watch(m_folder);
    FollowSelection();
}

void ImageBrowser::SelectFile(const QString &name) {
    const int row = m_fileBox.rowOf(name);
    m_fileBox.setCurrentRow(row);
    if (row >= 0)
        m_fileBox.scrollTo(m_fileBox.currentIndex());
}

void ImageBrowser::FollowSelection() {
    if (ChosenPath() != m_shownPath)
        ShowPreview();
}

void ImageBrowser::ShowPreview() {
    m_shownPath = ChosenPath();
    const quint64 request = ++m_decodes->latest;
    // Nothing while it loads: the menu and a drag act on what is shown.
    ShowDecoded(request, {});
    if (m_shownPath.isEmpty())
        return;
    // A big picture takes seconds to decode; the window goes on meanwhile.
    QThreadPool::globalInstance()->start(
        [decodes = m_decodes, decode = decode, path = m_shownPath, request] {
            if (decodes->latest != request)
                return; // passed over by a later click before it began
            const QImage picture = decode(path);
            const std::lock_guard hold(decodes->lock);
            if (ImageBrowser *browser = decodes->browser)
                QMetaObject::invokeMethod(
                    browser, [=] { browser->ShowDecoded(request, picture); }, Qt::QueuedConnection);
        });
}

void ImageBrowser::ShowDecoded(quint64 request, const QImage &picture) {
    if (request != m_decodes->latest)
        return; // another entry was chosen since
    m_imgPreview->setPicture(picture);
    m_imgPreview->setPixmap({});
    if (picture.isNull()) {
        m_imgPreview->hide();
        return;
    }
    FitPreview();
    m_imgPreview->show();
}

void ImageBrowser::FitPreview() {
    const QImage &picture = m_imgPreview->picture();
    if (picture.isNull())
        return;
    const QSize viewer = m_picViewer.size();
    const QRect place = CentredIn(quillcap::FitPreview(picture.size(), viewer), viewer);
    if (place.isEmpty())
        return;
    // Scaled once to the size shown: smoother than the label's stretching
    // and cheap to repaint.
    if (m_imgPreview->pixmap().size() != place.size())
        m_imgPreview->setPixmap(QPixmap::fromImage(
            picture.scaled(place.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    if (m_imgPreview->geometry() != place)
        m_imgPreview->setGeometry(place);
}

void ImageBrowser::OpenImageMenu(QPoint global) {
    const bool chosen = !m_fileBox.chosenName().isEmpty();
    m_itmKillImage->setEnabled(chosen);
    m_itmOpenImage->setEnabled(chosen);
    m_itmCopyImage->setEnabled(!m_imgPreview->picture().isNull());
    m_iMenu->popup(global);
}

void ImageBrowser::DeleteImageInViewer() {
    // Only ever the current entry, the one the question names; with several
    // selected for dragging the others stay.
    if (const QString path = ChosenPath(); !path.isEmpty()) {
        m_state.log.WriteLog(QStringLiteral("Prompt to delete ") + path);
        if (m_messages.Confirm(QStringLiteral("Confirm Delete ..."),
                               QStringLiteral("Are you sure you want to delete this file ?\r") +
                                   path) &&
            PathExists(path))
            Remove(path);
    }
    emit updateRequested();
}

void ImageBrowser::Remove(const QString &path) {
    const QString problem = MoveToTrashOrRemove(path);
    if (problem.isEmpty()) {
        m_state.log.WriteLog(QStringLiteral("         ... file deleted.  Refreshing filebox."));
    } else {
        m_state.log.WriteLog(QStringLiteral("         ... could not delete file."));
        m_messages.Warn(QStringLiteral("Could not delete file: \r") + path + u'\r' + problem);
    }
    // The update the delete asks for next reads the folder and the preview.
}

bool ImageBrowser::eventFilter(QObject *watched, QEvent *event) {
    if (watched == &m_picViewer && event->type() == QEvent::Resize) {
        FitPreview();
    } else if (watched == &m_fileBox && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        DeleteImageInViewer();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quillcap
