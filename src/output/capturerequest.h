#pragma once

#include "app/appstate.h"

#include <QRect>
#include <QString>

namespace quillcap {

// What the overlay hands over when the user confirms a box.
struct CaptureRequest {
    CaptureRegion box; // overlay pixels
    bool toClipboard = false;
    // A one-off name from the name panel (file name with extension, no
    // folder); empty for the next numbered name.
    QString oneOffName;
    // The panel showed that name taken: the user chose to replace the file.
    bool oneOffMayReplace = false;
};

// What the overlay hands over for a movie (M).
struct MovieRequest {
    CaptureRegion box; // overlay pixels, as the region is recorded
    QRect area;        // the same box on the live screen, virtual-screen pixels
};

} // namespace quillcap
