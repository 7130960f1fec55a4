#pragma once

#include "app/splashslide.h"

#include <QTimer>
#include <QWidget>

class QLabel;

namespace quillcap {

class ScreenInfo;

// The one-line tip under the resting splash: the name the next capture gets.
class SplashToolTip : public QWidget {
    Q_OBJECT
public:
    // Stands `splashHeight` twips above the bottom of the screen.
    SplashToolTip(const ScreenInfo &screens, int splashHeight);
    void SetText(const QString &text);

private:
    const ScreenInfo &m_screens;
    int m_splashHeight;
    QLabel *m_label;
};

// The small window a start in the tray shows instead of the main window: it
// slides in at the bottom right of the primary screen, rests a moment and
// slides out again. A click asks for the main window; the slide goes on.
class MiniSplash : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidthPx = 200;
    static constexpr int kHeightPx = 80;

    // `nextName` is what the tip shows.
    MiniSplash(const ScreenInfo &screens, const QString &version, const QString &nextName);
    ~MiniSplash() override;
    // Places the splash beyond the right edge and starts the slide.
    void Start();

signals:
    void clicked();
    // Out of the screen again: the splash can go.
    void finished();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void Step();
    void MoveToTwips(int left, int top);

    const ScreenInfo &m_screens;
    SplashSlide m_slide;
    int m_top;
    QTimer m_timer;
    SplashToolTip m_tip;
};

} // namespace quillcap
