#pragma once
// Plain C++: the program's front door reads these before any library loads.

#include <array>
#include <utility>

namespace quillcap {

// What another start of the program may ask the running one to do.
enum class InstanceRequest { Capture, Show, Exit };

// Each request's line (and, after "--", its option).
inline constexpr std::array<std::pair<InstanceRequest, const char *>, 3> kRequestNames{{
    {InstanceRequest::Capture, "capture"},
    {InstanceRequest::Show, "show"},
    {InstanceRequest::Exit, "exit"},
}};

} // namespace quillcap
