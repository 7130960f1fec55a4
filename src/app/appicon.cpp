#include "app/appicon.h"

namespace quillcap {

QIcon AppIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1/quillcap.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace quillcap
