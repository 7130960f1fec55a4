#include "codec/gdistatus.h"

#include <cerrno>

namespace quillcap {

QString GdiErrorString(qint32 status) {
    static const char *const kTexts[] = {
        "Generic Error",
        "Invalid Parameter",
        "Out Of Memory",
        "Object Busy",
        "Insufficient Buffer",
        "Not Implemented",
        "Win32 Error",
        "Wrong State",
        "Aborted",
        "File Not Found",
        "Value Overflow",
        "Access Denied",
        "Unknown Image Format",
        "FontFamily Not Found",
        "FontStyle Not Found",
        "Not TrueType Font",
        "Unsupported Gdiplus Version",
        "Gdiplus Not Initialized",
        "Property Not Found",
        "Property Not Supported",
    };
    constexpr qint32 count = sizeof(kTexts) / sizeof(kTexts[0]);
    if (status < 1 || status > count)
        return QStringLiteral("Unknown GDI+ Error");
    return QLatin1String(kTexts[status - 1]);
}

GdiStatus StatusFromErrno(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return GdiStatus::AccessDenied;
    case ENOMEM:
        return GdiStatus::OutOfMemory;
    default:
        return GdiStatus::Win32Error;
    }
}

} // namespace quillcap
