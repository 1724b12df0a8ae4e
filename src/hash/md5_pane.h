// The pane for MD5 digests of files, texts and typed hash values.
// Its controls arrive with the tool; until then it shows its pane colour.
#ifndef QUILLHORN_MD5_PANE_H
#define QUILLHORN_MD5_PANE_H

#include "tool_pane.h"

namespace qh {

class CMD5 : public ToolPane {
public:
    static constexpr QColor kPaneColour{247, 241, 205};

    explicit CMD5(PaneServices& services);
    const char* className() const override { return "CMD5"; }

protected:
    void buildWindow(QWidget* window) override;
};

} // namespace qh

#endif
