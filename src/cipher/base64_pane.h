// The pane for Base64 encoding of texts and files.
// Its controls arrive with the tool; until then it shows its pane colour.
#ifndef QUILLHORN_BASE64_PANE_H
#define QUILLHORN_BASE64_PANE_H

#include "tool_pane.h"

namespace qh {

class CBASE : public ToolPane {
public:
    static constexpr QColor kPaneColour{182, 230, 170};

    explicit CBASE(PaneServices& services);
    const char* className() const override { return "CBASE"; }

protected:
    void buildWindow(QWidget* window) override;
};

} // namespace qh

#endif
