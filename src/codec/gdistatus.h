#pragma once

#include <QString>

namespace quillcap {

// Status codes in the numbering GDI+ used; callers and the debug log read
// these numbers, so our own codec failures are reported in the same terms.
enum class GdiStatus : qint32 {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
};

QString GdiErrorString(qint32 status);

// A failed system call seen as a status: permission problems are Access
// Denied, running out of memory is Out Of Memory, anything else Win32 Error.
GdiStatus StatusFromErrno(int error);

} // namespace quillcap
