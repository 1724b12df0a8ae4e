// The panes for the release history; installation notes and where help is found; how to reach the author.
// Its controls arrive with the tool; until then it shows its pane colour.
#ifndef QUILLHORN_ABOUT_PANES_H
#define QUILLHORN_ABOUT_PANES_H

#include "tool_pane.h"

namespace qh {

class CAboutVer : public ToolPane {
public:
    static constexpr QColor kPaneColour{83, 54, 91};

    explicit CAboutVer(PaneServices& services);
    const char* className() const override { return "CAboutVer"; }

protected:
    void buildWindow(QWidget* window) override;
};

class CAboutHelp : public ToolPane {
public:
    static constexpr QColor kPaneColour{83, 54, 91};

    explicit CAboutHelp(PaneServices& services);
    const char* className() const override { return "CAboutHelp"; }

protected:
    void buildWindow(QWidget* window) override;
};

class CAboutMe : public ToolPane {
public:
    static constexpr QColor kPaneColour{83, 54, 91};

    explicit CAboutMe(PaneServices& services);
    const char* className() const override { return "CAboutMe"; }

protected:
    void buildWindow(QWidget* window) override;
};

} // namespace qh

#endif
