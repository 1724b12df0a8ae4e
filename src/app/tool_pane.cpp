#include "tool_pane.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "pane_services.h"

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

FilePathRows BuildFilePathRows(PaneServices& services, QWidget* pane, const QString& title, const QString& firstText,
                               const char* firstName, const QString& secondText, const char* secondName) {
    auto* group = new QGroupBox(title, pane);
    FilePathRows rows{
        group, named(new QLineEdit(group), "inputPathEdit"), named(new QLineEdit(group), "outputPathEdit"),
        named(new QPushButton(firstText, group), firstName), named(new QPushButton(secondText, group), secondName)};
    auto* inputBrowse = named(new QPushButton(QStringLiteral("浏览"), group), "inputBrowseButton");
    auto* outputBrowse = named(new QPushButton(QStringLiteral("浏览"), group), "outputBrowseButton");
    auto* layout = new QGridLayout(group);
    layout->addWidget(new QLabel(QStringLiteral("输入:"), group), 0, 0);
    layout->addWidget(rows.inputPath, 0, 1);
    layout->addWidget(inputBrowse, 0, 2);
    layout->addWidget(rows.first, 0, 3);
    layout->addWidget(new QLabel(QStringLiteral("输出:"), group), 1, 0);
    layout->addWidget(rows.outputPath, 1, 1);
    layout->addWidget(outputBrowse, 1, 2);
    layout->addWidget(rows.second, 1, 3);
    layout->setColumnStretch(1, 1);
    QLineEdit* input = rows.inputPath;
    QLineEdit* output = rows.outputPath;
    QObject::connect(inputBrowse, &QPushButton::clicked, group,
                     [&services, pane, input] { BrowseForInput(services, pane, input); });
    QObject::connect(outputBrowse, &QPushButton::clicked, group,
                     [&services, pane, output] { BrowseForOutput(services, pane, output); });
    return rows;
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
