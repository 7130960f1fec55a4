#pragma once

#include <QString>

namespace quillcap {

// The part after the last "\" or "/"; empty for a bare name or a trailing
// separator. Only the last 250 characters are looked at.
QString FileNamePart(const QString &path);

// Everything before the last "\" or "/"; empty without a separator in the
// last 250 characters.
QString GetParentFolder(const QString &path);

} // namespace quillcap

namespace quillcap {

// True when a file or else a folder of that path exists.
bool PathExists(const QString &path);
// The folder test alone.
bool DirExists(const QString &path);

} // namespace quillcap
