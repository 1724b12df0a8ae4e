#include "ascii_decode_pane.h"

namespace qh {

CASCIIU::CASCIIU(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CASCIIU::buildWindow(QWidget*) {}

} // namespace qh
