// Entry point of the GUI test executables: one QApplication for all tests.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
#ifdef QH_TEST_SCALE_FACTOR
    // This executable's tests run as on a screen of that many device pixels per pixel.
    qputenv("QT_SCALE_FACTOR", QH_TEST_SCALE_FACTOR);
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName("quillhorn");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
