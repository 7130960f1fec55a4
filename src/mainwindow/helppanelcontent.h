#pragma once

#include <QSize>
#include <QString>
#include <vector>

namespace quillcap {

// One line of a help panel: a key or code and what it does. Positions are
// twips inside the panel's content picture.
struct HelpRow {
    QString key;
    QString description;
    int top = 0;
    int keyLines = 1;
};

// Everything a help panel shows, and where.
struct HelpPanelContent {
    QString name; // the window's object name
    QString title;
    QSize client; // the designed size, twips
    int keyLeft = 0;
    int keyRight = 0; // the key labels end here
    bool keysAlignRight = false;
    int descriptionLeft = 0;
    std::vector<HelpRow> rows;

    static constexpr int kRowHeight = 195;
    static constexpr int kTitleLeft = 120;
    static constexpr int kTitleTop = 45;
    static constexpr int kTitleWidth = 4020;
};

// The keys that work while the capture overlay is open.
HelpPanelContent CommandsBoxContent();
// The date codes of the name template, read from the expander's own table.
HelpPanelContent CodesBoxContent();

} // namespace quillcap
