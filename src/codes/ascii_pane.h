// The pane that turns text into numeric character codes ("字符 --> ASCII").
#ifndef QUILLHORN_ASCII_PANE_H
#define QUILLHORN_ASCII_PANE_H

#include "tool_pane.h"

#include <QByteArray>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace qh {

class CASCII : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CASCII)

public:
    static constexpr QColor kPaneColour{174, 188, 192};
    // The base list: decimal and hexadecimal codes of bytes, then of code points.
    static constexpr int kFirstCodePointEntry = 2;

    explicit CASCII(PaneServices& services);
    const char* className() const override { return "CASCII"; }

    // State that survives a pane switch.
    bool pastedInput() const { return pastedInput_; }
    const QByteArray& rawInput() const { return rawInput_; }
    const QByteArray& result() const { return result_; }
    const QByteArray& codeFormat() const { return codeFormat_; }

protected:
    void buildWindow(QWidget* window) override;
    void windowDestroying() override;
    void codePageChanged(CodePage previous) override;

private:
    void paste();
    void clear();
    void encode();

    bool pastedInput_ = false; // the raw input came from the clipboard and the box was not edited since
    QByteArray rawInput_;
    QByteArray result_;
    QByteArray codeFormat_; // the per-code format of the last conversion, as "%04X"
    QByteArray prefix_;

    QPlainTextEdit* input_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
    QComboBox* base_ = nullptr;
    QLineEdit* prefixBox_ = nullptr;
    QLineEdit* suffixBox_ = nullptr;
    QLineEdit* widthBox_ = nullptr;
    QCheckBox* lowerCase_ = nullptr;
};

} // namespace qh

#endif
