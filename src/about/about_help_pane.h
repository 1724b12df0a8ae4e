// The help pane (帮助): installation notes and where the online help is, shown
// in a read-only box by two buttons.
#ifndef QUILLHORN_ABOUT_HELP_PANE_H
#define QUILLHORN_ABOUT_HELP_PANE_H

#include "tool_pane.h"

class QPlainTextEdit;

namespace qh {

class CAboutHelp : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CAboutHelp)

public:
    static constexpr QColor kPaneColour{83, 54, 91};
    static constexpr QColor kTextColour{255, 255, 255};

    explicit CAboutHelp(PaneServices& services);
    const char* className() const override { return "CAboutHelp"; }

protected:
    void buildWindow(QWidget* window) override;
    void windowDestroying() override;

private:
    // Shows string `id` of the string table and enables the box.
    void showString(int id);

    QPlainTextEdit* text_ = nullptr;
};

} // namespace qh

#endif
