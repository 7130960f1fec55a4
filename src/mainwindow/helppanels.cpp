#include "mainwindow/helppanels.h"

#include "platform/platform.h"

#include <QLabel>
#include <QToolButton>

namespace quillcap {

namespace {

constexpr int kTabSize = 24;

} // namespace

HelpPanels::HelpPanels(QWidget &window, QToolButton &commandsTab, QToolButton &codesTab,
                       const ScreenInfo &screens)
    : QObject(&window), m_window(window),
      m_screens(screens), m_tabs{Tab{HelpTab::Commands, &commandsTab, nullptr, {}},
                                 Tab{HelpTab::Codes, &codesTab, nullptr, {}}} {
    for (Tab &tab : m_tabs) {
        // A hidden tab keeps its room, so nothing shifts while it slides.
        QSizePolicy policy = tab.button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        tab.button->setSizePolicy(policy);
        tab.button->setIconSize(QSize(kTabSize, kTabSize));
        tab.faded = new QLabel(tab.button->parentWidget());
        tab.faded->setObjectName(
            QLatin1String(tab.kind == HelpTab::Commands ? "imgComBoxFade" : "imgCodesBoxFaded"));
        tab.faded->setAlignment(Qt::AlignCenter);
        tab.faded->setPixmap(Picture(tab.kind, TabPicture::Faded));
        tab.faded->hide();
        ShowTab(tab, TabPicture::WhenClosed);
        connect(tab.button, &QToolButton::clicked, this, [this, &tab] { Click(tab); });
    }
}

HelpPanels::~HelpPanels() = default;

QPixmap HelpPanels::Picture(HelpTab kind, TabPicture picture) const {
    return DrawTabPicture(kind, picture, kTabSize, m_window.devicePixelRatioF());
}

HelpPanelContent HelpPanels::Content(HelpTab kind) {
    return kind == HelpTab::Commands ? CommandsBoxContent() : CodesBoxContent();
}

void HelpPanels::ShowTab(Tab &tab, TabPicture picture) {
    tab.button->setIcon(QIcon(Picture(tab.kind, picture)));
    tab.button->show();
    tab.faded->hide();
}

void HelpPanels::Click(Tab &tab) {
    if (!tab.panel) {
        tab.panel = new HelpPanel(Content(tab.kind), m_screens.TwipsPerPixelX(),
                                  m_screens.TwipsPerPixelY(), &m_window);
        connect(tab.panel, &HelpPanel::slideFinished, this, [this, &tab](bool open) {
            ShowTab(tab, open ? TabPicture::WhenOpen : TabPicture::WhenClosed);
        });
    }
    Place(tab);
    tab.faded->setGeometry(tab.button->geometry());
    tab.faded->raise();
    tab.faded->show();
    tab.button->hide();
    tab.panel->OpenCloseBox();
}

// The commands panel stands on the window's bottom edge; the codes panel
// hangs from the height of its tab, measured from the frame's top.
void HelpPanels::Place(Tab &tab) {
    const QRect frame = m_window.frameGeometry();
    const int top = tab.kind == HelpTab::Commands
                        ? frame.bottom() + 1 - tab.panel->height()
                        : frame.top() + tab.button->mapTo(&m_window, QPoint()).y();
    tab.panel->move(frame.right() + 1, top);
}

void HelpPanels::PlaceVisible() {
    for (Tab &tab : m_tabs) {
        if (tab.panel && tab.panel->isVisible())
            Place(tab);
        if (tab.faded->isVisible())
            tab.faded->setGeometry(tab.button->geometry());
    }
}

void HelpPanels::CloseHelpPanels() {
    for (Tab &tab : m_tabs) {
        if (!tab.panel || !tab.panel->isVisible())
            continue;
        // A panel caught mid-slide gives its tab back as a closed one does.
        delete tab.panel;
        ShowTab(tab, TabPicture::WhenClosed);
    }
}

} // namespace quillcap
