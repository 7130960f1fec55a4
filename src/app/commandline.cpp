#include "app/commandline.h"

namespace quillcap {
namespace {

const char *const kUsage = "Usage: quillcap [option]\n"
                           "Captures the screen, an area or a window with Print Screen.\n"
                           "\n"
                           "Options:\n"
                           "  --capture   take a capture, as Print does, in the running QuillCap\n"
                           "              (started first when none runs)\n"
                           "  --show      bring the running QuillCap's window back\n"
                           "  --exit      end the running QuillCap\n"
                           "  -h, --help  show this help\n"
                           "  -v, --version  show the version\n";

} // namespace

QByteArray RequestLine(InstanceRequest request) {
    for (const auto &[known, name] : kRequestNames)
        if (known == request)
            return name;
    return {};
}

std::optional<InstanceRequest> ParseRequestLine(const QByteArray &line) {
    for (const auto &[request, name] : kRequestNames)
        if (line == name)
            return request;
    return std::nullopt;
}

CommandLine ParseCommandLine(const QStringList &args, const QString &version) {
    CommandLine result;
    for (const QString &arg : args) {
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help"))
            return {std::nullopt, 0, QString::fromLatin1(kUsage), false};
        if (arg == QLatin1String("-v") || arg == QLatin1String("--version"))
            return {std::nullopt, 0, QStringLiteral("QuillCap ") + version + u'\n', false};
        const auto request = arg.startsWith(QLatin1String("--"))
                                 ? ParseRequestLine(arg.mid(2).toLatin1())
                                 : std::nullopt;
        // One request per start: two would leave it unclear which wins.
        if (!request || (result.request && result.request != request)) {
            const QString what = request ? QStringLiteral("only one of --capture, --show, --exit")
                                         : QStringLiteral("unknown option: ") + arg;
            return {std::nullopt, 2, QStringLiteral("quillcap: ") + what + u'\n' + kUsage, true};
        }
        result.request = request;
    }
    return result;
}

} // namespace quillcap
