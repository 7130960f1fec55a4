#include <QCoreApplication>

#include <gtest/gtest.h>

// Our own main wins over gtest_main's: these tests need an event loop.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
