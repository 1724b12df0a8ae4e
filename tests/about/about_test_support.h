// Helpers shared by the about pane tests.
#ifndef QUILLHORN_ABOUT_TEST_SUPPORT_H
#define QUILLHORN_ABOUT_TEST_SUPPORT_H

#include <QLayout>
#include <QSize>
#include <QWidget>

namespace qh::test {

// The size of the main window's pane area.
inline constexpr QSize kPaneArea{387, 382};

// Gives a pane window the pane area's size, as the main window does, and lays
// it out at once.
inline void placeInPaneArea(QWidget* window) {
    window->setGeometry(QRect(QPoint(0, 0), kPaneArea));
    if (window->layout())
        window->layout()->activate();
}

} // namespace qh::test

#endif
