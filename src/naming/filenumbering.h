#pragma once

#include "naming/templateexpander.h"

#include <QString>
#include <QStringList>

namespace quillcap {

// `entries` is the save folder's listing (names only) of the files of the
// chosen type, `typeText` that type as shown ("PNG").

// The running number for the next capture under `basePrefix` (a raw template):
// one above the highest number found in the three characters after the
// expanded prefix, padded to three digits ("001", "042", "1000"), and never a
// number whose file name is already taken.
QString GetNextFileNumber(const TemplateExpander &expander, const QString &basePrefix,
                          const QStringList &entries, const QString &typeText);

// The full next file name, without folder: "Quillcap_001.png". The template is
// expanded once, so prefix and number agree even across midnight.
QString NextImageName(const TemplateExpander &expander, const QString &rawTemplate,
                      const QStringList &entries, const QString &typeText);

// The name a copy gets when `name` is taken, as file managers do: "shot.png"
// becomes "shot (2).png" for copy 2; the extension is what follows the last
// dot.
QString CopyName(const QString &name, int copy);

} // namespace quillcap
