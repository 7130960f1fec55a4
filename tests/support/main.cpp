#ifdef QUILLCAP_TEST_WIDGETS
#include <QApplication>
using Application = QApplication; // widgets want one on the wrapper's display
#else
#include <QCoreApplication>
using Application = QCoreApplication; // QProcess and signal notifiers want one
#endif

#include <gtest/gtest.h>

// Replaces gtest_main: the tests want an application.
int main(int argc, char **argv) {
    Application app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
