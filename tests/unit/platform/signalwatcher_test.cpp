// Termination signals reach the program as a Qt signal on its own thread.
#include "platform/signalwatcher.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace quillcap;

namespace {

TEST(SignalWatcher, EachTerminationSignalArrivesLaterOnTheQtThread) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(sig);
        SignalWatcher watcher;
        ASSERT_TRUE(watcher.isActive());
        std::vector<int> seen;
        QThread *thread = nullptr;
        QObject::connect(&watcher, &SignalWatcher::terminationRequested, [&](int s) {
            seen.push_back(s);
            thread = QThread::currentThread();
        });
        ASSERT_EQ(std::raise(sig), 0);
        EXPECT_TRUE(seen.empty()) << "not from inside the handler, where almost nothing is safe";
        ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.empty(); }, 20000));
        EXPECT_EQ(seen, std::vector<int>{sig});
        EXPECT_EQ(thread, QCoreApplication::instance()->thread());
    }
}

TEST(SignalWatcher, EverySignalOfABurstIsReported) {
    SignalWatcher watcher;
    int count = 0;
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, [&] { ++count; });
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return count == 3; }, 20000)) << count;
}

volatile std::sig_atomic_t g_previousHandlerRan = 0;

TEST(SignalWatcher, GivesThePreviousHandlersBack) {
    struct sigaction mine {
    }, original{};
    mine.sa_handler = [](int) { g_previousHandlerRan = 1; };
    sigemptyset(&mine.sa_mask);
    ASSERT_EQ(sigaction(SIGHUP, &mine, &original), 0);
    {
        SignalWatcher watcher;
        SignalWatcher second; // one at a time
        EXPECT_FALSE(second.isActive());
    }
    ASSERT_EQ(std::raise(SIGHUP), 0);
    EXPECT_EQ(g_previousHandlerRan, 1);
    sigaction(SIGHUP, &original, nullptr);

    SignalWatcher again; // the slot is free once the first is gone
    EXPECT_TRUE(again.isActive());
}

} // namespace
