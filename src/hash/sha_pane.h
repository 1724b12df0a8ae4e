// The pane for SHA-1 to SHA-512 digests.
// Its controls arrive with the tool; until then it shows its pane colour.
#ifndef QUILLHORN_SHA_PANE_H
#define QUILLHORN_SHA_PANE_H

#include "tool_pane.h"

namespace qh {

class CSHADlg : public ToolPane {
public:
    static constexpr QColor kPaneColour{167, 178, 139};

    explicit CSHADlg(PaneServices& services);
    const char* className() const override { return "CSHADlg"; }

protected:
    void buildWindow(QWidget* window) override;
};

} // namespace qh

#endif
