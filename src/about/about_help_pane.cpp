#include "about_help_pane.h"

#include "string_table.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qh {
namespace {

// The table's CR LF line ends as the box's line breaks.
QString forDisplay(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

CAboutHelp::CAboutHelp(PaneServices& services) : ToolPane(services, kPaneColour, kTextColour) {}

void CAboutHelp::buildWindow(QWidget* window) {
    auto* install = named(new QPushButton(tr("安装"), window), "installButton");
    auto* use = named(new QPushButton(tr("使用"), window), "useButton");
    text_ = named(new QPlainTextEdit(window), "helpText");
    text_->setProperty(kProseProperty, true);
    text_->setReadOnly(true);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setPlainText(forDisplay(LoadResString(kHelpNoticeString)));
    // Shown but out of reach until a button is pressed.
    text_->setEnabled(false);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(install);
    buttons->addWidget(use);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(window);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addLayout(buttons);
    layout->addWidget(text_, 1);

    QObject::connect(install, &QPushButton::clicked, window, [this] { showString(kInstallNotesString); });
    QObject::connect(use, &QPushButton::clicked, window, [this] { showString(kUseNoticeString); });
}

void CAboutHelp::windowDestroying() {
    text_ = nullptr;
}

void CAboutHelp::showString(int id) {
    text_->setPlainText(forDisplay(LoadResString(id)));
    text_->setEnabled(true);
}

} // namespace qh
