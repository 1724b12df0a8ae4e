#include "des_pane.h"

namespace qh {

CDES::CDES(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CDES::buildWindow(QWidget*) {}

} // namespace qh
