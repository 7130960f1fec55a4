#pragma once

#include "app/instancerequest.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillcap {

// The line sent for a request, without its newline.
QByteArray RequestLine(InstanceRequest request);
// The request a received line (newline stripped) names; nothing for any other
// text.
std::optional<InstanceRequest> ParseRequestLine(const QByteArray &line);

// What the command line asks for: a request, or to print `text` and end at
// once with `exitCode`.
struct CommandLine {
    std::optional<InstanceRequest> request;
    std::optional<int> exitCode;
    QString text;
    bool toStderr = false;
};

// `args` without the program's own name.
CommandLine ParseCommandLine(const QStringList &args, const QString &version);

} // namespace quillcap
