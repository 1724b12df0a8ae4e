#include "ascii_decode_pane.h"

#include "code_decoder.h"
#include "config_file.h"
#include "config_line.h"
#include "pane_services.h"
#include "text_bytes_view.h"
#include "text_codec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qh {
namespace {

const char* const kDomain = "ASCII";
QString loadFailedCaption() {
    return CASCIIU::tr("加载配置文件失败");
}
QString writeFailedCaption() {
    return CASCIIU::tr("写入文件错误.");
}
const QByteArray kNoBaseMessage = "Error: Please choose use hex or oct.";

std::string toStd(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}
QByteArray toBytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}
QString toShown(const std::string& text) {
    return fromTextBytes(toBytes(text));
}

// The settings file's texts are GBK, whichever code page is chosen.
std::string toSettingText(const QString& text) {
    return toStd(toTextBytes(text, CodePage::Gbk));
}
QString fromSettingText(const std::string& text) {
    return fromTextBytes(toBytes(text), CodePage::Gbk);
}

// An option that older files lack: false when it is missing.
bool optionalBool(const vyst::ansi::ConfigFile& file, const std::string& option) {
    try {
        return file.GetBool(option, kDomain);
    } catch (const vyst::ansi::excep& error) {
        if (error.code() != vyst::ansi::excep::NoOption)
            throw;
        return false;
    }
}

// The result as the output box shows it: line breaks as such, and a zero byte
// as the visible symbol for NUL rather than nothing.
QString displayText(const QByteArray& bytes) {
    QString text = fromMultiLineBytes(bytes);
    text.replace(QChar(0), QChar(0x2400));
    return text;
}

} // namespace

CASCIIU::CASCIIU(PaneServices& services, std::string settingsFile)
    : ToolPane(services, kPaneColour), settingsFile_(std::move(settingsFile)) {
    loadSettings();
}

void CASCIIU::loadSettings() {
    try {
        vyst::ansi::ConfigFile file;
        file.Load(settingsFile_);
        const int count = file.GetInt("count", kDomain);
        for (int i = 0; i < count; ++i) {
            const std::string k = std::to_string(i);
            DecodingSetting setting;
            setting.copyerr = file.GetBool("copyerr" + k, kDomain);
            setting.base = file.GetInt("base" + k, kDomain);
            setting.end = file.GetValue("end" + k, kDomain);
            setting.head = file.GetValue("head" + k, kDomain);
            setting.name = file.GetValue("name" + k, kDomain);
            setting.unicode = optionalBool(file, "unicode" + k);
            settings_.push_back(std::move(setting));
        }
    } catch (const vyst::ansi::excep& error) {
        // No window exists yet, so the message has no owner.
        services().showMessage(nullptr, toShown(error.message()), loadFailedCaption(), MessageKind::Information);
        settings_.clear();
    }
    settingsInFile_ = static_cast<int>(settings_.size());
}

void CASCIIU::buildWindow(QWidget* window) {
    auto* inputGroup = new QGroupBox(tr("输入"), window);
    input_ = named(new QPlainTextEdit(inputGroup), "inputEdit");
    base_ = named(new QComboBox(inputGroup), "baseCombo");
    base_->setEditable(true);
    base_->setInsertPolicy(QComboBox::NoInsert);
    prefix_ = named(new QLineEdit(inputGroup), "prefixEdit");
    suffix_ = named(new QLineEdit(inputGroup), "suffixEdit");
    copyErrors_ = named(new QRadioButton(tr("拷贝错误输入"), inputGroup), "copyErrorsRadio");
    ignoreErrors_ = named(new QRadioButton(tr("忽略错误输入"), inputGroup), "ignoreErrorsRadio");
    settingsList_ = named(new QComboBox(inputGroup), "settingsCombo");
    settingsList_->setEditable(true);
    settingsList_->setInsertPolicy(QComboBox::NoInsert);
    auto* saveSettingButton = named(new QPushButton(inputGroup), "saveSettingButton");
    saveSettingButton->setIcon(QIcon(QStringLiteral(":/icons/144-16.png")));
    saveSettingButton->setToolTip(QStringLiteral("SaveSet"));

    auto* choices = new QGridLayout;
    choices->addWidget(new QLabel(tr("进制:"), inputGroup), 0, 0);
    choices->addWidget(base_, 0, 1);
    choices->addWidget(copyErrors_, 0, 2, 1, 2);
    choices->addWidget(new QLabel(tr("前缀:"), inputGroup), 1, 0);
    choices->addWidget(prefix_, 1, 1);
    choices->addWidget(ignoreErrors_, 1, 2, 1, 2);
    choices->addWidget(new QLabel(tr("后缀:"), inputGroup), 2, 0);
    choices->addWidget(suffix_, 2, 1);
    choices->addWidget(new QLabel(tr("设置"), inputGroup), 2, 2);
    auto* settingRow = new QHBoxLayout;
    settingRow->addWidget(settingsList_, 1);
    settingRow->addWidget(saveSettingButton);
    choices->addLayout(settingRow, 2, 3);
    choices->setColumnStretch(1, 1);
    choices->setColumnStretch(3, 1);
    auto* inputLayout = new QVBoxLayout(inputGroup);
    inputLayout->addWidget(input_, 1);
    inputLayout->addLayout(choices);

    auto* outputGroup = new QGroupBox(tr("输出"), window);
    output_ = named(new QPlainTextEdit(outputGroup), "outputEdit");
    output_->setReadOnly(true);
    auto* decodeButton = named(new QPushButton(tr("解    码"), outputGroup), "decodeButton");
    auto* copyButton = named(new QPushButton(tr("复制"), outputGroup), "copyButton");
    auto* saveButton = named(new QPushButton(tr("保存"), outputGroup), "saveButton");
    auto* hint = named(new QLabel(tr("  如果输出含有不可打印字符,使用复制和保存可以操作它"), outputGroup), "hintLabel");
    hint->setWordWrap(true);
    showErrors_ = named(new QCheckBox(tr("显示错误信息"), outputGroup), "showErrorsCheck");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(showErrors_);
    buttons->addStretch(1);
    buttons->addWidget(decodeButton);
    buttons->addWidget(copyButton);
    buttons->addWidget(saveButton);
    auto* outputLayout = new QVBoxLayout(outputGroup);
    // The output's tooltip shows the result's bytes, which copy and save hand on.
    outputLayout->addWidget(WithTextBytes(output_,
                                          [this]() -> std::optional<TextBytes> {
                                              return TextBytes{result_, unrepresentable_};
                                          }),
                            1);
    outputLayout->addWidget(hint);
    outputLayout->addLayout(buttons);

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(inputGroup, 1);
    layout->addWidget(outputGroup, 1);
    for (QLayout* each :
         {static_cast<QLayout*>(layout), static_cast<QLayout*>(inputLayout), static_cast<QLayout*>(outputLayout)}) {
        each->setContentsMargins(6, 4, 6, 4);
        each->setSpacing(4);
    }
    choices->setSpacing(4);

    // Initial state: errors shown, both bases listed but none chosen, the
    // saved settings listed and the first one applied.
    showErrors_->setChecked(true);
    base_->addItem(tr("十进制"));
    decimalPosition_ = base_->count() - 1;
    base_->addItem(tr("十六进制"));
    hexPosition_ = base_->count() - 1;
    base_->addItem(QCoreApplication::translate("qh::CASCIIU", "Unicode 十进制"));
    codePointDecimalPosition_ = base_->count() - 1;
    base_->addItem(QCoreApplication::translate("qh::CASCIIU", "Unicode 十六进制"));
    codePointHexPosition_ = base_->count() - 1;
    base_->setCurrentIndex(-1);
    for (const DecodingSetting& setting : settings_)
        settingsList_->addItem(fromSettingText(setting.name));
    if (!settings_.empty()) {
        settingsList_->setCurrentIndex(0);
        applySetting(0);
    } else {
        settingsList_->setCurrentIndex(-1);
    }

    // A setting is applied when the user chooses one, also the one already
    // chosen (to get it back after changing the prefix). Leaving the name field
    // with a listed name in it is no choice: Qt would select and apply that
    // setting over the user's unsaved controls, so that link is cut.
    QObject::disconnect(settingsList_->lineEdit(), &QLineEdit::editingFinished, settingsList_, nullptr);
    QObject::connect(settingsList_, &QComboBox::activated, window, [this](int index) { applySetting(index); });
    QObject::connect(saveSettingButton, &QPushButton::clicked, window, [this] { saveSetting(); });
    QObject::connect(decodeButton, &QPushButton::clicked, window, [this] { decode(); });
    QObject::connect(showErrors_, &QCheckBox::toggled, window, [this] { showOutput(); });
    QObject::connect(copyButton, &QPushButton::clicked, window,
                     [this] { CopyResult(services(), this->window(), result_); });
    QObject::connect(saveButton, &QPushButton::clicked, window,
                     [this] { SaveResult(services(), this->window(), result_); });
}

void CASCIIU::windowDestroying() {
    input_ = output_ = nullptr;
    base_ = settingsList_ = nullptr;
    prefix_ = suffix_ = nullptr;
    copyErrors_ = ignoreErrors_ = nullptr;
    showErrors_ = nullptr;
}

void CASCIIU::applySetting(int position) {
    const size_t index = position <= 0 ? 0 : static_cast<size_t>(position);
    if (index >= settings_.size())
        return;
    const DecodingSetting& setting = settings_[index];
    if (setting.base == 10)
        base_->setCurrentIndex(setting.unicode ? codePointDecimalPosition_ : decimalPosition_);
    else if (setting.base == 16)
        base_->setCurrentIndex(setting.unicode ? codePointHexPosition_ : hexPosition_);
    prefix_->setText(fromSettingText(setting.head));
    suffix_->setText(fromSettingText(setting.end));
    (setting.copyerr ? copyErrors_ : ignoreErrors_)->setChecked(true);
}

CASCIIU::BaseChoice CASCIIU::selectedBase() const {
    const int position = base_->currentIndex();
    if (position < 0)
        return {};
    if (position == decimalPosition_ || position == codePointDecimalPosition_)
        return {10, position == codePointDecimalPosition_};
    if (position == hexPosition_ || position == codePointHexPosition_)
        return {16, position == codePointHexPosition_};
    return {};
}

void CASCIIU::decode() {
    const BaseChoice choice = selectedBase();
    if (choice.base == 0) {
        report_ = kNoBaseMessage;
        if (showErrors_->isChecked())
            output_->setPlainText(QString::fromLatin1(report_));
        return;
    }
    if (choice.codePoints) {
        const CodePointParams params = MakeCodePointParams(choice.base, toCodePoints(prefix_->text()),
                                                           toCodePoints(suffix_->text()), copyErrors_->isChecked());
        const CodePointOutput decoded = DecodeCodes(toCodePoints(withCrLf(input_->toPlainText())), params);
        keepCodePointResult(fromCodePoints(decoded.result), QString::fromStdString(decoded.report));
    } else {
        // The code text is a notation; the decoded bytes are the result as they are.
        const DecodeParams params = MakeDecodeParams(choice.base, toStd(toNotationBytes(prefix_->text())),
                                                     toStd(toNotationBytes(suffix_->text())), copyErrors_->isChecked());
        const DecodeOutput decoded = DecodeCodes(toStd(toNotationMultiLineBytes(input_->toPlainText())), params);
        result_ = toBytes(decoded.result);
        report_ = toBytes(decoded.report);
        codePointResult_.reset();
        unrepresentable_.reset();
    }
    showOutput();
}

// The result's bytes are the characters in the code page; the first one it
// cannot hold is named under the output.
void CASCIIU::keepCodePointResult(const QString& result, const QString& report) {
    codePointResult_ = result;
    codePointReport_ = report;
    const TextBytes bytes = encodeText(result, false);
    result_ = bytes.bytes;
    unrepresentable_ = bytes.unrepresentable;
    report_ = toNotationBytes(report);
}

// Decoded bytes are shown in the new page; decoded characters keep their
// characters, with bytes in the new page.
void CASCIIU::codePageChanged(CodePage) {
    if (codePointResult_)
        keepCodePointResult(*codePointResult_, codePointReport_);
    if (output_)
        showOutput();
}

void CASCIIU::showOutput() {
    QString text = displayText(result_);
    if (showErrors_->isChecked())
        text += fromNotationMultiLineBytes(report_);
    output_->setPlainText(text);
}

void CASCIIU::saveSetting() {
    const QString name = settingsList_->currentText();
    for (int i = 0; i < settingsList_->count(); ++i) {
        if (settingsList_->itemText(i).compare(name, Qt::CaseInsensitive) == 0) {
            services().showMessage(this->window(), tr("名称 %1 已经存在,请输入其他名称!").arg(name),
                                   QStringLiteral("Failed"), MessageKind::Error);
            return;
        }
    }

    DecodingSetting setting;
    setting.name = toSettingText(name);
    setting.head = toSettingText(prefix_->text());
    setting.end = toSettingText(suffix_->text());
    const BaseChoice choice = selectedBase();
    setting.base = choice.base;
    setting.unicode = choice.codePoints;
    setting.copyerr = copyErrors_->isChecked();
    // A text the file cannot hold (a pasted line break, a line too long to load)
    // is refused before anything changes, naming the box that holds it.
    struct Field {
        const std::string& text;
        const char* key;
        QString box;
    };
    const Field fields[] = {
        {setting.name, "name", tr("名称")}, {setting.head, "head", tr("前缀")}, {setting.end, "end", tr("后缀")}};
    for (const Field& field : fields) {
        if (vyst::ansi::ReadsBackUnchanged({'o', field.key + std::to_string(settingsInFile_), field.text}))
            continue;
        const bool lineBreak = field.text.find_first_of("\r\n") != std::string::npos;
        services().showMessage(
            this->window(),
            (lineBreak ? tr("%1中有换行, 不能保存到设置文件!") : tr("%1太长, 不能保存到设置文件!")).arg(field.box),
            writeFailedCaption(), MessageKind::Error);
        return;
    }
    settings_.push_back(setting);
    {
        // Adding the item must not apply anything: the selection stays.
        const QSignalBlocker blocker(settingsList_);
        const int current = settingsList_->currentIndex();
        const QString typed = settingsList_->currentText();
        settingsList_->addItem(name);
        settingsList_->setCurrentIndex(current);
        settingsList_->setEditText(typed);
    }
    if (writeSetting(setting, settingsInFile_))
        ++settingsInFile_;
}

bool CASCIIU::writeSetting(const DecodingSetting& setting, int index) {
    try {
        const std::string k = std::to_string(index);
        vyst::ansi::ConfigFile file;
        file.Load(settingsFile_);
        file.SetInt("count", index + 1, kDomain);
        file.AddOption("name" + k, setting.name, kDomain);
        file.AddOption("head" + k, setting.head, kDomain);
        file.AddOption("end" + k, setting.end, kDomain);
        file.AddInt("base" + k, setting.base, kDomain);
        file.AddBool("copyerr" + k, setting.copyerr, kDomain);
        if (setting.unicode)
            file.AddBool("unicode" + k, true, kDomain);
        file.Save();
        return true;
    } catch (const vyst::ansi::excep& error) {
        services().showMessage(this->window(), toShown(error.message()), writeFailedCaption(), MessageKind::Error);
        return false;
    }
}

} // namespace qh
