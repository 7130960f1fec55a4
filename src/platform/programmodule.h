#pragma once
// The program proper lives in a module beside the front-door executable.

namespace quillcap {

// Loads the program's module (beside this executable in a build tree, else
// in <prefix>/lib/quillcap) and runs it; its exit code, or 1 with the reason
// on stderr when it cannot be loaded.
int RunProgramModule(int argc, char **argv);

} // namespace quillcap
