#include "about_panes.h"

namespace qh {

CAboutVer::CAboutVer(PaneServices& services) : ToolPane(services, kPaneColour, QColor(255, 255, 255)) {}

void CAboutVer::buildWindow(QWidget*) {}

CAboutHelp::CAboutHelp(PaneServices& services) : ToolPane(services, kPaneColour, QColor(255, 255, 255)) {}

void CAboutHelp::buildWindow(QWidget*) {}

CAboutMe::CAboutMe(PaneServices& services) : ToolPane(services, kPaneColour, QColor(255, 255, 255)) {}

void CAboutMe::buildWindow(QWidget*) {}

} // namespace qh
