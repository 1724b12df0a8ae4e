#include "sha_pane.h"

namespace qh {

CSHADlg::CSHADlg(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CSHADlg::buildWindow(QWidget*) {}

} // namespace qh
