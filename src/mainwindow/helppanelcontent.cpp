#include "mainwindow/helppanelcontent.h"

#include "naming/templateexpander.h"

#include <array>

namespace quillcap {

HelpPanelContent CommandsBoxContent() {
    return {
        .name = QStringLiteral("frmCommandsBox"),
        .title = QStringLiteral("COMMANDS DURING CAPTURE"),
        .client = QSize(4800, 3000),
        .keyLeft = 180,
        .keyRight = 1425,
        .descriptionLeft = 1485,
        .rows = {
            {QStringLiteral("ARROW KEYS"),
             QStringLiteral("scroll through previous capture regions"), 360},
            {QStringLiteral("D"), QStringLiteral("highlights the entire desktop"), 585},
            {QStringLiteral("A"), QStringLiteral("highlights the current active window"), 810},
            {QStringLiteral("1,2,3,4"), QStringLiteral("hightlights monitor 1, 2, 3, or 4."), 1035},
            {QStringLiteral("C"), QStringLiteral("capture, save and send to clipboard"), 1440},
            {QStringLiteral("F"), QStringLiteral("override the Save As... filename"), 1665},
            {QStringLiteral("Esc / X"), QStringLiteral("abort the screen capture"), 1890},
            {QStringLiteral("M"), QStringLiteral("capture image stream (movie)"), 2115},
            {QStringLiteral("SPACE BAR / ENTER"), QStringLiteral("capture and save image"), 2430,
             2},
        }};
}

HelpPanelContent CodesBoxContent() {
    HelpPanelContent c{.name = QStringLiteral("frmCodesBox"),
                       .title = QStringLiteral("SPECIAL FILE NAME CODES"),
                       .client = QSize(3945, 2055),
                       .keyLeft = 120,
                       .keyRight = 690,
                       .keysAlignRight = true,
                       .descriptionLeft = 855,
                       .rows = std::vector<HelpRow>(7)};
    static constexpr std::array<int, 7> tops = {270, 450, 720, 900, 1170, 1395, 1665};
    for (const TemplateCode &code : TemplateExpander::codes()) {
        if (code.helpRow < 0 || code.helpRow >= int(tops.size()))
            continue;
        c.rows[code.helpRow] = {code.code.toString(), code.description.toString(),
                                tops[code.helpRow]};
    }
    return c;
}

} // namespace quillcap
