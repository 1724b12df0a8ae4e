// The pane for MD5 digests of a file, a text or a typed hash value.
#ifndef QUILLHORN_MD5_PANE_H
#define QUILLHORN_MD5_PANE_H

#include "tool_pane.h"

#include <string>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace qh {

class CMD5 : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CMD5)

public:
    static constexpr QColor kPaneColour{247, 241, 205};

    explicit CMD5(PaneServices& services);
    const char* className() const override { return "CMD5"; }

protected:
    void buildWindow(QWidget* window) override;
    void windowDestroying() override;

private:
    void applyInputKind();
    void compute();
    void showDigest(const std::string& digest, bool shortForm, bool upper);

    QRadioButton* fileRadio_ = nullptr;
    QLineEdit* path_ = nullptr;
    QPushButton* browse_ = nullptr;
    QRadioButton* textRadio_ = nullptr;
    QRadioButton* hashValueRadio_ = nullptr;
    QPlainTextEdit* input_ = nullptr;
    QLineEdit* output_ = nullptr;
    QRadioButton* digits16_ = nullptr;
    QRadioButton* digits32_ = nullptr;
    QRadioButton* upperCase_ = nullptr;
    QRadioButton* lowerCase_ = nullptr;
};

} // namespace qh

#endif
