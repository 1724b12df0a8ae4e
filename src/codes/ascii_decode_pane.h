// The pane that turns numeric character codes back into text ("ASCII --> 字符"),
// with named decoding settings kept in the settings file.
#ifndef QUILLHORN_ASCII_DECODE_PANE_H
#define QUILLHORN_ASCII_DECODE_PANE_H

#include "settings_location.h"
#include "tool_pane.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace qh {

// One named set of decoding choices.
struct DecodingSetting {
    std::string name;
    std::string head; // prefix
    std::string end;  // suffix
    int base = 0;     // 10, 16, or 0 when saved with no base chosen
    bool copyerr = false;
    bool unicode = false; // the codes are code points ("unicode" + i in the file, written only when true)
};

class CASCIIU : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CASCIIU)

public:
    static constexpr QColor kPaneColour{174, 188, 192};

    // Loads the saved settings from `settingsFile` once, now; a failure is
    // reported and leaves no settings. By default the file of the working
    // folder or the user's own (SettingsFilePath).
    explicit CASCIIU(PaneServices& services, std::string settingsFile = SettingsFilePath());
    const char* className() const override { return "CASCIIU"; }

    const std::vector<DecodingSetting>& settings() const { return settings_; }
    const QByteArray& result() const { return result_; }
    const QByteArray& report() const { return report_; }

protected:
    void buildWindow(QWidget* window) override;
    void windowDestroying() override;
    void codePageChanged(CodePage previous) override;

private:
    // The chosen entry of the base list: 10 or 16 (0 for none), of bytes or of code points.
    struct BaseChoice {
        int base = 0;
        bool codePoints = false;
    };

    void loadSettings();
    void applySetting(int position);
    void saveSetting();
    bool writeSetting(const DecodingSetting& setting, int index);
    void decode();
    void showOutput();
    BaseChoice selectedBase() const;
    void keepCodePointResult(const QString& result, const QString& report);

    std::string settingsFile_;
    std::vector<DecodingSetting> settings_;
    // Settings that stand in the file as far as this run knows: loaded at
    // start-up plus saved since. A new setting takes this as its index, so a
    // failed save leaves no gap in the file's numbering.
    int settingsInFile_ = 0;
    QByteArray result_;
    QByteArray report_;
    // The last decoding's characters and report in code-point mode, which the
    // result's bytes follow into another code page.
    std::optional<QString> codePointResult_;
    QString codePointReport_;
    std::optional<char32_t> unrepresentable_; // the first decoded character the code page cannot hold
    int decimalPosition_ = 0;
    int hexPosition_ = 1;
    int codePointDecimalPosition_ = 2;
    int codePointHexPosition_ = 3;

    QPlainTextEdit* input_ = nullptr;
    QComboBox* base_ = nullptr;
    QLineEdit* prefix_ = nullptr;
    QLineEdit* suffix_ = nullptr;
    QRadioButton* copyErrors_ = nullptr;
    QRadioButton* ignoreErrors_ = nullptr;
    QComboBox* settingsList_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
    QCheckBox* showErrors_ = nullptr;
};

} // namespace qh

#endif
