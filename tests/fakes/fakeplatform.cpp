#include "fakes/fakeplatform.h"

#include <QPainter>

#include <algorithm>

namespace quillcap {

namespace {

template <class Calls> const FakeWindowSystem::Call *LastFor(const Calls &calls, const QWidget *w) {
    auto it = std::find_if(calls.rbegin(), calls.rend(),
                           [w](const FakeWindowSystem::Call &c) { return c.window.data() == w; });
    return it == calls.rend() ? nullptr : &*it;
}

} // namespace

bool FakeWindowSystem::FindWindowByTitle(const QString &prefix) {
    searchedPrefixes << prefix;
    return std::any_of(titles.begin(), titles.end(),
                       [&](const QString &t) { return t.startsWith(prefix, Qt::CaseSensitive); });
}

void FakeWindowSystem::SetTopMost(QWidget *window, bool on) {
    topMostCalls.push_back({window, on});
}

void FakeWindowSystem::SetTaskbarButton(QWidget *window, bool show) {
    taskbarCalls.push_back({window, show});
    if (window) {
        window->hide();
        window->showNormal();
    }
}

bool FakeWindowSystem::IsTopMost(const QWidget *window) const {
    const Call *last = LastFor(topMostCalls, window);
    return last && last->value;
}

bool FakeWindowSystem::HasTaskbarButton(const QWidget *window) const {
    const Call *last = LastFor(taskbarCalls, window);
    return !last || last->value;
}

QString FakeShell::BrowseForFolder(QWidget *, const QString &title,
                                   const QString &startFolder) {
    browseTitles << title;
    browseStartFolders << startFolder;
    return folderAnswer;
}

void FakeShell::OpenUrl(const QString &address) {
    openedUrls << address;
}

QImage FakeScreenCapture::GrabDesktop(const QRect &area) {
    grabbedAreas << area;
    QImage grab(area.size(), QImage::Format_RGB32);
    grab.fill(Qt::black);
    QPainter painter(&grab);
    painter.drawImage(-area.topLeft(), desktop);
    return grab;
}

FakeDisplays::FakeDisplays() {
    DisplayDevice primary;
    primary.deviceName = QStringLiteral("FAKE-1");
    primary.monitorDescription = QStringLiteral("Default Monitor");
    primary.attached = true;
    primary.primary = true;
    primary.rect = primary.workArea = QRect(0, 0, 1920, 1080);
    primary.bitsPerPixel = 24;
    primary.refreshHz = 60;
    devices.push_back(primary);
}

Platform MakeFakePlatform(FakeParts *parts) {
    auto windows = std::make_unique<FakeWindowSystem>();
    auto screens = std::make_unique<FakeScreenInfo>();
    auto shell = std::make_unique<FakeShell>();
    auto capture = std::make_unique<FakeScreenCapture>();
    auto hotKey = std::make_unique<FakeHotKey>();
    auto displays = std::make_unique<FakeDisplays>();
    if (parts)
        *parts = {windows.get(), screens.get(), shell.get(),
                  capture.get(), hotKey.get(), displays.get()};
    Platform platform;
    platform.windows = std::move(windows);
    platform.screens = std::move(screens);
    platform.shell = std::move(shell);
    platform.capture = std::move(capture);
    platform.hotKey = std::move(hotKey);
    platform.displays = std::move(displays);
    return platform;
}

} // namespace quillcap
