// The author pane (作者): how to reach the author. The three addresses are
// drawn as links and show the link cursor, but clicking them does nothing.
#ifndef QUILLHORN_ABOUT_ME_PANE_H
#define QUILLHORN_ABOUT_ME_PANE_H

#include "tool_pane.h"

namespace qh {

class CAboutMe : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CAboutMe)

public:
    static constexpr QColor kPaneColour{83, 54, 91};
    static constexpr QColor kTextColour{255, 255, 255};
    static constexpr QColor kLinkColour{255, 0, 255};
    // The pane's font; PaneFont substitutes an installed Chinese serif font
    // where this one is missing.
    static constexpr const char* kFontFamily = "仿宋_GB2312";
    static constexpr int kFontPointSize = 12;

    explicit CAboutMe(PaneServices& services);
    const char* className() const override { return "CAboutMe"; }

protected:
    void buildWindow(QWidget* window) override;
};

} // namespace qh

#endif
