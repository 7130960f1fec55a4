#include "fakes/fakeplatform.h"

#include <QPainter>
#include <QWidget>

namespace quillcap {

void FakeWindowSystem::SetTaskbarButton(QWidget *window, bool show) {
    taskbarButton[window] = show;
    window->hide();
    window->showNormal();
}

QImage FakeScreenCapture::GrabDesktop(const QRect &area) {
    ++grabs;
    QImage grab(area.size(), QImage::Format_RGB32);
    grab.fill(Qt::black);
    QPainter(&grab).drawImage(-area.topLeft(), desktop);
    return grab;
}

FakeDisplays::FakeDisplays() {
    DisplayDevice primary;
    primary.attached = primary.primary = true;
    primary.rect = QRect(0, 0, 1920, 1080);
    devices.push_back(primary);
}

} // namespace quillcap
