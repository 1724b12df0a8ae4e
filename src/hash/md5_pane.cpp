#include "md5_pane.h"

namespace qh {

CMD5::CMD5(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CMD5::buildWindow(QWidget*) {}

} // namespace qh
