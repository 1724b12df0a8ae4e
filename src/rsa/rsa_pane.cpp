#include "rsa_pane.h"

namespace qh {

CRSA::CRSA(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CRSA::buildWindow(QWidget*) {}

} // namespace qh
