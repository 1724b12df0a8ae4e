// The pane for CRC-16, CRC-CCITT and CRC-32 check values.
// Its controls arrive with the tool; until then it shows its pane colour.
#ifndef QUILLHORN_CRC_PANE_H
#define QUILLHORN_CRC_PANE_H

#include "tool_pane.h"

namespace qh {

class CCRCDlg : public ToolPane {
public:
    static constexpr QColor kPaneColour{210, 175, 233};

    explicit CCRCDlg(PaneServices& services);
    const char* className() const override { return "CCRCDlg"; }

protected:
    void buildWindow(QWidget* window) override;
};

} // namespace qh

#endif
