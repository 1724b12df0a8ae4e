// The pane for CRC-16, CRC-CCITT and CRC-32 check values of a file, a text or
// a byte string.
#ifndef QUILLHORN_CRC_PANE_H
#define QUILLHORN_CRC_PANE_H

#include "hash_input.h"
#include "tool_pane.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace qh {

class CCRCDlg : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CCRCDlg)

public:
    static constexpr QColor kPaneColour{210, 175, 233};

    explicit CCRCDlg(PaneServices& services);
    const char* className() const override { return "CCRCDlg"; }

protected:
    void buildWindow(QWidget* window) override;
    void windowDestroying() override;

private:
    void compute();
    QString format(std::uint32_t value, int bits) const;

    HashInputControls input_;
    QRadioButton* hex_ = nullptr;
    QRadioButton* decimal_ = nullptr;
    QRadioButton* binary_ = nullptr;
    QComboBox* algorithm_ = nullptr;
    QLineEdit* output_ = nullptr;
};

} // namespace qh

#endif
