#include "tool_pane.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPalette>
#include <QPushButton>

namespace qh {

PaneWindow::PaneWindow(QWidget* parent) : QWidget(parent) {}

void PaneWindow::keyPressEvent(QKeyEvent* event) {
    // Enter reaches the pane only when the control with the focus did not use
    // it (multi-line boxes make a new line): it does nothing.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

ToolPane::ToolPane(PaneServices& services, QColor paneColour, QColor textColour)
    : services_(services), paneColour_(paneColour), textColour_(textColour) {}

ToolPane::~ToolPane() {
    destroyWindow();
}

QWidget* ToolPane::createWindow(QWidget* parent) {
    destroyWindow();
    auto* window = new PaneWindow(parent);
    window->setObjectName(QString::fromLatin1(className()));
    window_ = window;
    buildWindow(window);
    // A focused push button must not take Enter as a click either.
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    ApplyPaneColours(window, paneColour_, textColour_);
    return window;
}

void ToolPane::destroyWindow() {
    if (!window_)
        return;
    windowDestroying();
    delete window_.data();
    window_ = nullptr;
}

void ApplyPaneColours(QWidget* window, QColor paneColour, QColor textColour) {
    QPalette palette = window->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, paneColour);
        palette.setColor(group, QPalette::Base, paneColour);
        palette.setColor(group, QPalette::AlternateBase, paneColour);
        palette.setColor(group, QPalette::Button, paneColour);
        if (textColour.isValid()) {
            palette.setColor(group, QPalette::WindowText, textColour);
            palette.setColor(group, QPalette::Text, textColour);
            palette.setColor(group, QPalette::ButtonText, textColour);
        }
    }
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

} // namespace qh
