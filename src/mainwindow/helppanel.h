#pragma once

#include "mainwindow/helppanelcontent.h"
#include "mainwindow/panelslide.h"

#include <QTimer>
#include <QWidget>

namespace quillcap {

// A help panel: a borderless window beside the main window that slides open
// and shut like a drawer. Its left edge is wherever it was moved to; the
// slide only changes its width.
class HelpPanel : public QWidget {
    Q_OBJECT
public:
    // Sizes are the content's twips at the screen's twips per pixel.
    HelpPanel(const HelpPanelContent &content, double twipsPerPixelX, double twipsPerPixelY,
              QWidget *owner);

    void OpenCloseBox();
    const PanelSlide &slide() const { return m_slide; }

signals:
    // A slide has ended; a panel that closed is hidden by now.
    void slideFinished(bool open);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void BuildPicture(const HelpPanelContent &content);
    void Tick();
    void ApplySlide();
    QRect Pixels(int left, int top, int width, int height) const;

    double m_twipsX;
    double m_twipsY;
    PanelSlide m_slide;
    QTimer m_timer;
    QWidget *m_viewport = nullptr; // inside the border
    QWidget *m_picture = nullptr;  // the content, moving with the right edge
};

} // namespace quillcap
