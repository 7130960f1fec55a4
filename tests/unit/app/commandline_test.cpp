#include "app/commandline.h"

#include <gtest/gtest.h>

using namespace quillcap;

TEST(CommandLine, RequestsAndRefusals) {
    using R = InstanceRequest;
    struct Case {
        QStringList args;
        std::optional<R> request;
        std::optional<int> exitCode;
    };
    const Case cases[] = {
        {{}, std::nullopt, std::nullopt},
        {{"--capture"}, R::Capture, std::nullopt},
        {{"--show", "--show"}, R::Show, std::nullopt},
        {{"--exit"}, R::Exit, std::nullopt},
        {{"--help"}, std::nullopt, 0},
        {{"-v"}, std::nullopt, 0},
        {{"--capture", "--exit"}, std::nullopt, 2},
        {{"--bogus"}, std::nullopt, 2},
        {{"capture"}, std::nullopt, 2},
        {{"--Capture"}, std::nullopt, 2},
    };
    for (const Case &c : cases) {
        const CommandLine line = ParseCommandLine(c.args, "9.9");
        EXPECT_EQ(line.request, c.request) << c.args.join(' ').toStdString();
        EXPECT_EQ(line.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_EQ(line.toStderr, c.exitCode == 2);
    }
    EXPECT_TRUE(ParseCommandLine({"--bogus"}, "9.9").text.contains("--capture"));
    // The socket's lines: only the exact known words.
    for (const R r : {R::Capture, R::Show, R::Exit})
        EXPECT_EQ(ParseRequestLine(RequestLine(r)), r);
    for (const QByteArray &other : {QByteArray("Capture"), QByteArray("capture "),
                                    QByteArray("capture\r"), QByteArray("exit\0x", 6)})
        EXPECT_EQ(ParseRequestLine(other), std::nullopt) << other.data();
}
