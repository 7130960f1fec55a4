#pragma once
// What the benchmarks comparing QuillCap with other tools share: a screen the
// size of the bench picture, a child process timed as a whole, peak memory,
// and the file system files land on.
#include "xsession.h"

#include <QElapsedTimer>
#include <QStorageInfo>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <vector>

namespace bench {

// An Xvfb the picture's size showing it as its background; null (and a note
// on stdout) without a picture, so a plain clone still runs.
inline std::unique_ptr<xs::XSession> screenShowing(const char *picturePath, const char *who) {
    const QImage picture(QString::fromLocal8Bit(picturePath));
    if (picture.isNull()) {
        std::printf("%s: no bench picture at %s: nothing measured\n", who, picturePath);
        return nullptr;
    }
    auto x = xs::XSession::start(
        {"-screen", "0", QString::asprintf("%dx%dx24", picture.width(), picture.height())});
    if (!x)
        std::fprintf(stderr, "%s: %s\n", who, xs::why().c_str());
    else
        x->setRootPicture(picture);
    return x;
}

// How a screen benchmark starts, from `PICTURE [count]`: its screen, or null
// with the code to end with (0 when there is no picture to measure on).
struct ScreenBench {
    std::unique_ptr<xs::XSession> x;
    int count = 0;
    int exitCode = 0;
};
inline ScreenBench startScreenBench(int argc, char **argv, const char *who, const char *countName,
                                    int defaultCount) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SCREENSHOT.png [%s]\n", who, countName);
        return {nullptr, 0, 2};
    }
    ScreenBench bench{screenShowing(argv[1], who),
                      argc > 2 ? std::max(1, std::atoi(argv[2])) : defaultCount, 0};
    bench.exitCode = bench.x || xs::why().empty() ? 0 : 1;
    return bench;
}

struct Timed {
    bool ok = false; // ran and exited with 0
    double ms = 0;   // from spawn to exit
    long peakKb = 0; // its largest resident set
};

// Runs `command` on `display` and waits for it: wait4 gives its peak memory.
inline Timed runTimed(const QStringList &command, const QString &display) {
    std::vector<QByteArray> words;
    for (const QString &word : command)
        words.push_back(word.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    QByteArray path = "PATH=" + qgetenv("PATH"), shown = "DISPLAY=" + display.toLocal8Bit();
    char *envp[] = {path.data(), shown.data(), nullptr};
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp) != 0)
        return {};
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return {};
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0, clock.nsecsElapsed() / 1e6,
            usage.ru_maxrss};
}

// A line of /proc/<pid>/status in kB, e.g. VmHWM, the peak resident set.
inline long procStatusKb(qint64 pid, const char *field) {
    const QList<QByteArray> lines = readFile(QString("/proc/%1/status").arg(pid)).split('\n');
    for (const QByteArray &line : lines)
        if (line.startsWith(QByteArray(field) + ':'))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').value(0).toLong();
    return 0;
}

inline QString fileSystemOf(const QString &folder) {
    const QStorageInfo where(folder);
    return QString("%1 (%2 on %3)")
        .arg(QString::fromLatin1(where.fileSystemType()), QString::fromLocal8Bit(where.device()),
             where.rootPath());
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace bench
