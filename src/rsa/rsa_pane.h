// The pane for RSA encryption of texts, integers and files under a key n, e, d.
//
// The key is stored as hexadecimal digit strings whatever base the key boxes
// show; a box is read back into the stored key when it loses the focus, and a
// key copied by the key workbench (n CR LF e CR LF d) can be pasted whole.
// Every RSA operation goes to the RSA component.
#ifndef QUILLHORN_RSA_PANE_H
#define QUILLHORN_RSA_PANE_H

#include "rsa_loader.h"
#include "tool_pane.h"

#include <QString>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace qh {

class CRSA : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CRSA)

public:
    static constexpr QColor kPaneColour{200, 206, 201};

    explicit CRSA(PaneServices& services);
    const char* className() const override { return "CRSA"; }

    // The stored key, hexadecimal digits as typed or pasted (blanks removed).
    const std::string& n() const { return n_; }
    const std::string& e() const { return e_; }
    const std::string& d() const { return d_; }

protected:
    void buildWindow(QWidget* window) override;
    void windowDestroying() override;

private:
    enum class Mode { Text, Decimal, Hexadecimal };

    int keyBase() const;
    void showKey();
    void readKeyBox(QLineEdit* box);
    void pasteKey();
    void processFile(bool encrypt);
    void processInput(bool encrypt);
    void showResult(bool encrypt, Mode mode, const RsaResult& result);
    void showError(const QString& text);

    std::string n_, e_, d_;

    QRadioButton* decimalKey_ = nullptr;
    QRadioButton* hexKey_ = nullptr;
    QLineEdit* nBox_ = nullptr;
    QLineEdit* eBox_ = nullptr;
    QLineEdit* dBox_ = nullptr;
    QLineEdit* inputPath_ = nullptr;
    QLineEdit* outputPath_ = nullptr;
    QRadioButton* textMode_ = nullptr;
    QRadioButton* decimalMode_ = nullptr;
    QRadioButton* hexMode_ = nullptr;
    QPlainTextEdit* input_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
};

} // namespace qh

#endif
