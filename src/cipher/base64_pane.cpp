#include "base64_pane.h"

namespace qh {

CBASE::CBASE(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CBASE::buildWindow(QWidget*) {}

} // namespace qh
