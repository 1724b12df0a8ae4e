// The pane for SHA-1 to SHA-512 digests of a file, a text or a byte string.
#ifndef QUILLHORN_SHA_PANE_H
#define QUILLHORN_SHA_PANE_H

#include "hash_input.h"
#include "tool_pane.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QRadioButton;

namespace qh {

class CSHADlg : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CSHADlg)

public:
    static constexpr QColor kPaneColour{167, 178, 139};

    explicit CSHADlg(PaneServices& services);
    const char* className() const override { return "CSHADlg"; }

protected:
    void buildWindow(QWidget* window) override;
    void windowDestroying() override;

private:
    void compute();

    HashInputControls input_;
    QRadioButton* upperCase_ = nullptr;
    QRadioButton* lowerCase_ = nullptr;
    QCheckBox* blanks_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
    QComboBox* algorithm_ = nullptr;
};

} // namespace qh

#endif
