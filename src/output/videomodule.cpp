#include "output/videowriter.h"

#include <QLibrary>

namespace quillcap {

namespace {
// What the module exports (see videomoduleentry.cpp).
constexpr char kEntry[] = "quillcap_new_video_writer";
using NewWriter = VideoWriter *(*)();
} // namespace

MakeVideoWriter VideoModuleWriters(const QString &path) {
    return [path](QString *why) -> std::unique_ptr<VideoWriter> {
        // Never unloaded: a writer's code must outlive it.
        QLibrary module(path);
        if (const auto make = reinterpret_cast<NewWriter>(module.resolve(kEntry)))
            return std::unique_ptr<VideoWriter>(make());
        if (why)
            *why = module.errorString();
        return nullptr;
    };
}

} // namespace quillcap
