#include "crc_pane.h"

namespace qh {

CCRCDlg::CCRCDlg(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CCRCDlg::buildWindow(QWidget*) {}

} // namespace qh
