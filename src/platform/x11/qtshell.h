#pragma once

#include "platform/platform.h"

namespace quillcap::x11 {

class QtShell final : public Shell {
public:
    QString BrowseForFolder(QWidget *owner, const QString &title,
                            const QString &startFolder) override;
    void OpenUrl(const QString &address) override;
    void OpenFile(const QString &path) override;
};

} // namespace quillcap::x11
