#pragma once
// Reaching the running copy: plain C++ and system calls only, so the
// program's front door can hand a request over before any library loads.

#include <optional>
#include <string>
#include <string_view>

namespace quillcap {

enum class SendOutcome { Delivered, Refused, NoneRunning };

// The running copy's socket and lock, less their ".sock" / ".lock" endings:
// `baseFolder`/quillcap/x11-<`display`, odd characters as '_'>.
std::string InstanceFileStem(const std::string &baseFolder, const std::string &display);

// A socket connected to `path`: the descriptor, or -1 with errno set.
int ConnectInstanceSocket(const std::string &path);

// Sends one short line (no newline) and waits briefly for the answer.
SendOutcome SendInstanceLine(const std::string &socketPath, std::string_view line);

// How a start that sent its request ends: the exit code (a refusal, or an
// exit request with nobody to hear it, said on stderr), or nothing when it
// should become the running copy itself.
std::optional<int> ExitCodeAfterSending(SendOutcome outcome, bool exitRequest);

} // namespace quillcap
