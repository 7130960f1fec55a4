// Termination signals reach the program as a Qt signal on its own thread.
#include "platform/signalwatcher.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace quillcap;

namespace {

TEST(SignalWatcher, EverySignalArrivesLaterOnTheQtThreadInOrder) {
    SignalWatcher watcher;
    ASSERT_TRUE(watcher.isActive());
    std::vector<int> seen;
    bool onQtThread = true;
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, [&](int s) {
        seen.push_back(s);
        onQtThread =
            onQtThread && QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    const std::vector<int> sent = {SIGTERM, SIGINT, SIGHUP, SIGTERM, SIGTERM};
    for (int sig : sent)
        ASSERT_EQ(std::raise(sig), 0);
    EXPECT_TRUE(seen.empty()) << "not from inside the handler, where almost nothing is safe";
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() >= sent.size(); }, 20000));
    EXPECT_EQ(seen, sent);
    EXPECT_TRUE(onQtThread);
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
