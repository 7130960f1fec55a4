#pragma once

#include "mainwindow/helppanel.h"
#include "mainwindow/tabpictures.h"

#include <QObject>
#include <QPointer>
#include <array>

class QLabel;
class QToolButton;
class QWidget;

namespace quillcap {

class ScreenInfo;

// The two help panels beside the main window and their tabs: a tab click
// slides its panel out or back; the panels keep to the window's right edge.
class HelpPanels : public QObject {
    Q_OBJECT
public:
    HelpPanels(QWidget &window, QToolButton &commandsTab, QToolButton &codesTab,
               const ScreenInfo &screens);
    ~HelpPanels() override;

    // Puts every shown panel next to the window again (it moved or resized).
    void PlaceVisible();
    // Unloads every shown panel at once and gives its tab back, closed: the
    // window is going out of sight.
    void CloseHelpPanels();

private:
    struct Tab {
        HelpTab kind;
        QToolButton *button = nullptr;
        QLabel *faded = nullptr;   // stands in for the tab while its panel slides
        QPointer<HelpPanel> panel; // the window owns it
    };

    void Click(Tab &tab);
    void Place(Tab &tab);
    void ShowTab(Tab &tab, TabPicture picture);
    QPixmap Picture(HelpTab kind, TabPicture picture) const;
    static HelpPanelContent Content(HelpTab kind);

    QWidget &m_window;
    const ScreenInfo &m_screens;
    std::array<Tab, 2> m_tabs;
};

} // namespace quillcap
