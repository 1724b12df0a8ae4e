// The pane for Base64 encoding of texts and files.
#ifndef QUILLHORN_BASE64_PANE_H
#define QUILLHORN_BASE64_PANE_H

#include "tool_pane.h"

class QLineEdit;
class QPlainTextEdit;

namespace qh {

class CBASE : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CBASE)

public:
    static constexpr QColor kPaneColour{182, 230, 170};

    explicit CBASE(PaneServices& services);
    const char* className() const override { return "CBASE"; }

protected:
    void buildWindow(QWidget* window) override;
    void windowDestroying() override;

private:
    void encodeText();
    void decodeText();
    void processFile(bool encode);
    void reportFile(bool encode, int code, const QString& inputPath, const QString& outputPath);

    QLineEdit* inputPath_ = nullptr;
    QLineEdit* outputPath_ = nullptr;
    QPlainTextEdit* input_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
};

} // namespace qh

#endif
