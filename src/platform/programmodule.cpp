#include "platform/programmodule.h"

#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace quillcap {

namespace {

constexpr char kModule[] = "quillcap-program.so";
constexpr char kEntry[] = "quillcap_program_main";
using Entry = int (*)(int, char **);

std::string ExecutableFolder() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || std::size_t(length) >= path.size())
        return ".";
    path.resize(std::size_t(length));
    return path.substr(0, path.rfind('/'));
}

} // namespace

int RunProgramModule(int argc, char **argv) {
    const std::string folder = ExecutableFolder();
    std::string path = folder + '/' + kModule;
    if (::access(path.c_str(), F_OK) != 0)
        path = folder + '/' + QUILLCAP_MODULES_FROM_BIN + '/' + kModule;
    void *module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto entry = module ? reinterpret_cast<Entry>(::dlsym(module, kEntry)) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "quillcap: cannot load %s: %s\n", path.c_str(), ::dlerror());
        return 1;
    }
    return entry(argc, argv);
}

} // namespace quillcap
