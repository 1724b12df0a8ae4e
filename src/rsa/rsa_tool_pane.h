// The pane for the RSA key workbench: random primes p and q of a chosen key
// length, n = p*q, the exponents e and d picked at random or computed from each
// other, a check of every value, a whole key at once, an encrypt-decrypt test
// and a copy of n, e, d in the form the RSA encryption pane pastes.
//
// The five numbers are kept as hexadecimal digit strings whatever the display
// base; a box is read when it loses the focus, and a text that is not a number
// of the display base is refused there, keeping the stored value.
#ifndef QUILLHORN_RSA_TOOL_PANE_H
#define QUILLHORN_RSA_TOOL_PANE_H

#include "rsa_loader.h"
#include "rsa_numbers.h"
#include "tool_pane.h"

#include <QObject>
#include <QString>
#include <array>
#include <optional>
#include <string>

class QComboBox;
class QPlainTextEdit;
class QRadioButton;

namespace qh {

class CRSATool : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CRSATool)

public:
    static constexpr QColor kPaneColour{200, 206, 201};
    // Title of every message of the pane but the failed "generate all".
    static const QString kTitle;
    static const QString kHelpAddress;

    explicit CRSATool(PaneServices& services);
    const char* className() const override { return "CRSATool"; }

protected:
    void buildWindow(QWidget* window) override;
    void windowDestroying() override;

private:
    enum Number { P, Q, N, E, D, NumberCount };
    int displayBase() const;
    void showNumbers();
    void readBox(Number which);
    void store(Number which, const std::string& value);

    // The client over the process-wide component; nothing (and the failure
    // message shown) when no component is loaded.
    IRsaComponent* component();
    std::optional<RsaClient> client();
    void showFailure(int status);
    void showInformation(const QString& text);
    void showError(const QString& text);
    // A component result stored in `which` and shown; the failure message otherwise.
    void storeResult(Number which, const RsaResult& result);

    int primeWords();
    void randomPrime(Number which);
    void testPrime(Number which);
    void computeN();
    void testN();
    void randomExponent(Number which);
    void computeInverse(Number target);
    void testCoprime(Number which);
    void generateAll();
    void showGeneratedKey(const GeneratedKey& key);
    void checkResult();
    void copyResult();

    std::array<std::string, NumberCount> numbers_;

    std::array<QPlainTextEdit*, NumberCount> boxes_{};
    QRadioButton* decimal_ = nullptr;
    QRadioButton* hexadecimal_ = nullptr;
    QComboBox* keyLength_ = nullptr;
};

} // namespace qh

#endif
