// The pane for DES encryption of texts and files.
// Its controls arrive with the tool; until then it shows its pane colour.
#ifndef QUILLHORN_DES_PANE_H
#define QUILLHORN_DES_PANE_H

#include "tool_pane.h"

namespace qh {

class CDES : public ToolPane {
public:
    static constexpr QColor kPaneColour{198, 205, 231};

    explicit CDES(PaneServices& services);
    const char* className() const override { return "CDES"; }

protected:
    void buildWindow(QWidget* window) override;
};

} // namespace qh

#endif
