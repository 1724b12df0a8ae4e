// The release history pane (版本): static texts only, and the web site's address.
#ifndef QUILLHORN_ABOUT_VER_PANE_H
#define QUILLHORN_ABOUT_VER_PANE_H

#include "tool_pane.h"

namespace qh {

class CAboutVer : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CAboutVer)

public:
    static constexpr QColor kPaneColour{83, 54, 91};
    static constexpr QColor kTextColour{255, 255, 255};
    // The greyed address stays readable on the dark background.
    static constexpr QColor kGreyedColour{160, 160, 160};

    explicit CAboutVer(PaneServices& services);
    const char* className() const override { return "CAboutVer"; }

protected:
    void buildWindow(QWidget* window) override;
};

} // namespace qh

#endif
