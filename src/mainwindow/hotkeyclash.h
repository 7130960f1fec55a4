#pragma once

#include <QString>
#include <QStringList>

namespace quillcap {

// What the user is told when other programs hold some of the Print
// combinations: which ones, and how to get a key for capturing anyway.
// Empty when none is taken.
QString HotKeyClashText(const QStringList &taken);

} // namespace quillcap
