#include <QCoreApplication>

#include <gtest/gtest.h>

// Replaces gtest_main: QProcess and signal notifiers want an application.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
