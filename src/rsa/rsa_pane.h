// The pane for RSA encryption of texts, integers and files.
// Its controls arrive with the tool; until then it shows its pane colour.
#ifndef QUILLHORN_RSA_PANE_H
#define QUILLHORN_RSA_PANE_H

#include "tool_pane.h"

namespace qh {

class CRSA : public ToolPane {
public:
    static constexpr QColor kPaneColour{200, 206, 201};

    explicit CRSA(PaneServices& services);
    const char* className() const override { return "CRSA"; }

protected:
    void buildWindow(QWidget* window) override;
};

} // namespace qh

#endif
