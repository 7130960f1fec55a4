#pragma once

#include <QString>

#include <optional>

namespace quillcap {

// Why QuillCap cannot run in this session, as one sentence for the user, or
// nothing when an X11 display is reachable. Call before QApplication exists:
// it reads the environment and opens (and closes) a connection of its own.
std::optional<QString> X11SessionProblem();

} // namespace quillcap
