// The pane for DES encryption of texts and files under an 8-byte key.
#ifndef QUILLHORN_DES_PANE_H
#define QUILLHORN_DES_PANE_H

#include "des.h"
#include "tool_pane.h"

#include <QByteArray>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace qh {

class CDES : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CDES)

public:
    static constexpr QColor kPaneColour{198, 205, 231};

    explicit CDES(PaneServices& services);
    const char* className() const override { return "CDES"; }

protected:
    void buildWindow(QWidget* window) override;
    void windowDestroying() override;
    void codePageChanged(CodePage previous) override;

private:
    std::optional<DesKey> prepareKey();
    QByteArray inputBytes() const;
    void toggleKeyForm(bool byteString);
    void toggleInputForm(bool byteString);
    void showResult();
    void randomKey();
    void encryptText();
    void decryptText();
    void processFile(bool encrypt);
    void reportFile(bool encrypt, int code);

    // The bytes of the last successful string command, every byte counted;
    // nothing before the first one. It outlives the window.
    std::optional<QByteArray> result_;

    QLineEdit* key_ = nullptr;
    QCheckBox* keyBytes_ = nullptr;
    QLineEdit* inputPath_ = nullptr;
    QLineEdit* outputPath_ = nullptr;
    QPlainTextEdit* input_ = nullptr;
    QCheckBox* inputBytes_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
    QCheckBox* outputBytes_ = nullptr;
};

} // namespace qh

#endif
