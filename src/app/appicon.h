#pragma once

#include <QIcon>

namespace quillcap {

// The program's icon in every size made at build time.
QIcon AppIcon();

} // namespace quillcap
