// The pane for numeric character codes back to text.
// Its controls arrive with the tool; until then it shows its pane colour.
#ifndef QUILLHORN_ASCII_DECODE_PANE_H
#define QUILLHORN_ASCII_DECODE_PANE_H

#include "tool_pane.h"

namespace qh {

class CASCIIU : public ToolPane {
public:
    static constexpr QColor kPaneColour{174, 188, 192};

    explicit CASCIIU(PaneServices& services);
    const char* className() const override { return "CASCIIU"; }

protected:
    void buildWindow(QWidget* window) override;
};

} // namespace qh

#endif
