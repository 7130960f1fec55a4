// The front door. A lone request for the running copy (a desktop shortcut's
// `quillcap --capture`) goes straight to its socket, with nothing but the C++
// runtime loaded: the program proper and its hundred libraries take tens of
// milliseconds to map. Anything else starts the program from its module.
#include "app/instancerequest.h"
#include "platform/instanceclient.h"
#include "platform/programmodule.h"

#include <cstdlib>
#include <cstring>

namespace {

using namespace quillcap;

std::optional<int> HandOverALoneRequest(int argc, char **argv) {
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    const char *display = std::getenv("DISPLAY");
    if (argc != 2 || std::strncmp(argv[1], "--", 2) != 0 || !runtime || !*runtime || !display)
        return std::nullopt;
    for (const auto &[request, name] : kRequestNames) {
        if (std::strcmp(argv[1] + 2, name) != 0)
            continue;
        const SendOutcome outcome =
            SendInstanceLine(InstanceFileStem(runtime, display) + ".sock", name);
        // With none running, the program proper starts and says so itself.
        if (outcome == SendOutcome::NoneRunning)
            return std::nullopt;
        return ExitCodeAfterSending(outcome, request == InstanceRequest::Exit);
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv) {
    if (const auto code = HandOverALoneRequest(argc, argv))
        return *code;
    return RunProgramModule(argc, argv);
}
