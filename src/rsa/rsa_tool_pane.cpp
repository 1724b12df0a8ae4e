#include "rsa_tool_pane.h"

namespace qh {

CRSATool::CRSATool(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CRSATool::buildWindow(QWidget*) {}

} // namespace qh
