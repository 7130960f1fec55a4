#include "mainwindow/hotkeyclash.h"

namespace quillcap {

QString HotKeyClashText(const QStringList &taken) {
    if (taken.isEmpty())
        return {};
    QString keys = taken.first();
    for (qsizetype i = 1; i < taken.size(); ++i)
        keys +=
            (i + 1 == taken.size() ? QStringLiteral(" and ") : QStringLiteral(", ")) + taken.at(i);
    const bool one = taken.size() == 1;
    // The command on a line of its own: wrapped, a line would break it after
    // its dashes.
    return QStringLiteral("Another program already uses %1, so %2 will not start a capture. "
                          "To capture with a key of your choice, add a shortcut in your "
                          "desktop's keyboard settings for the command:\nquillcap --capture")
        .arg(keys, one ? QStringLiteral("that key") : QStringLiteral("those keys"));
}

} // namespace quillcap
