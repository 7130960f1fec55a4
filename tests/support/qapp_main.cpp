#include <QApplication>

#include <gtest/gtest.h>

// Replaces gtest_main: widgets want an application on the wrapper's display.
int main(int argc, char **argv) {
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
