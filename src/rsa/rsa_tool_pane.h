// The pane for the RSA key workbench.
// Its controls arrive with the tool; until then it shows its pane colour.
#ifndef QUILLHORN_RSA_TOOL_PANE_H
#define QUILLHORN_RSA_TOOL_PANE_H

#include "tool_pane.h"

namespace qh {

class CRSATool : public ToolPane {
public:
    static constexpr QColor kPaneColour{200, 206, 201};

    explicit CRSATool(PaneServices& services);
    const char* className() const override { return "CRSATool"; }

protected:
    void buildWindow(QWidget* window) override;
};

} // namespace qh

#endif
