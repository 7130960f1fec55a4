#pragma once

#include <QFrame>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillcap {

// The one-off name panel on the overlay (picFilenamePopUp): the user types a
// name (date codes allowed), sees the file name it gives and whether a file of
// that name is there, and confirms or cancels.
class FileNamePopUp : public QFrame {
    Q_OBJECT
public:
    struct Context {
        QString saveFolder;
        QString typeText; // as the type list shows it, e.g. "PNG"
        QString nextName; // the next templated name
        std::function<QString(const QString &raw)> MakePrefix;
        std::function<QString(const QString &raw)> GetNextFileNumber;
    };

    explicit FileNamePopUp(QWidget *overlay);

    // Fills the panel and shows it with the focus in the name field.
    void Open(const Context &context, const QString &lastOverrideName);

    QLineEdit *txtNewFilename() const { return m_txtNewFilename; }
    QPushButton *cmdPopUpOk() const { return m_cmdPopUpOk; }
    QPushButton *cmdPopupCancel() const { return m_cmdPopupCancel; }
    QString tempFileName() const;
    bool useAsNewPrefix() const;
    // The mark shown: the resulting name is taken by an existing file.
    bool nameTaken() const { return m_taken; }

    // True when no file of that name exists.
    static bool NameOk(const QString &fullPath);

protected:
    // Presses on the panel are the panel's, never a new capture box.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void txtNewFilename_Change();

    Context m_context;
    QLabel *m_lblSaveFolder;
    QLabel *m_lblCurrentFilename;
    QLineEdit *m_txtNewFilename;
    QLabel *m_lblOverrideExtension;
    QCheckBox *m_chkNewPrefix;
    QLabel *m_lblTempFileName;
    QLabel *m_imgOkFree;
    QLabel *m_imgOkTaken;
    QPushButton *m_cmdPopUpOk;
    QPushButton *m_cmdPopupCancel;
    bool m_taken = false;
};

} // namespace quillcap
