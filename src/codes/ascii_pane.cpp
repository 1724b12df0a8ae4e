#include "ascii_pane.h"

#include "code_encoder.h"
#include "pane_services.h"
#include "text_bytes_view.h"
#include "text_codec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace qh {
namespace {

QPushButton* makeButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLineEdit* makeLineEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

std::string toStd(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace

CASCII::CASCII(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CASCII::buildWindow(QWidget* window) {
    // A new window always encodes what its input box shows.
    pastedInput_ = false;
    rawInput_.clear();

    auto* inputGroup = new QGroupBox(tr("输入"), window);
    input_ = new QPlainTextEdit(inputGroup);
    input_->setObjectName(QStringLiteral("inputEdit"));
    auto* pasteButton = makeButton(tr("粘贴"), "pasteButton", inputGroup);
    auto* clearButton = makeButton(tr("清除"), "clearButton", inputGroup);
    auto* hint = new QLabel(tr("如果要转换的字符包含非打印字符,请使用粘贴功能."), inputGroup);
    hint->setObjectName(QStringLiteral("hintLabel"));
    hint->setWordWrap(true);
    auto* inputButtons = new QHBoxLayout;
    inputButtons->addWidget(hint, 1);
    inputButtons->addWidget(pasteButton);
    inputButtons->addWidget(clearButton);
    auto* inputLayout = new QVBoxLayout(inputGroup);
    // The bytes to encode: the pasted ones, or the box's text in the code page.
    // In code-point mode no character is lost to the code page: no warning then.
    inputLayout->addWidget(WithTextBytes(input_, [this]() -> std::optional<TextBytes> {
        if (base_ && base_->currentIndex() >= kFirstCodePointEntry)
            return std::nullopt;
        if (pastedInput_)
            return TextBytes{rawInput_, std::nullopt};
        return encodeText(input_->toPlainText(), true);
    }));
    inputLayout->addLayout(inputButtons);

    auto* outputGroup = new QGroupBox(tr("输出"), window);
    output_ = new QPlainTextEdit(outputGroup);
    output_->setObjectName(QStringLiteral("outputEdit"));
    output_->setReadOnly(true);
    base_ = new QComboBox(outputGroup);
    base_->setObjectName(QStringLiteral("baseCombo"));
    base_->addItem(tr("十进制"));
    base_->addItem(tr("十六进制"));
    // Code points of the characters instead of codes of their bytes.
    base_->addItem(tr("Unicode 十进制"));
    base_->addItem(tr("Unicode 十六进制"));
    base_->setCurrentIndex(0);
    prefixBox_ = makeLineEdit("prefixEdit", outputGroup);
    suffixBox_ = makeLineEdit("suffixEdit", outputGroup);
    widthBox_ = makeLineEdit("widthEdit", outputGroup);
    widthBox_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), widthBox_));
    widthBox_->setMaxLength(3);
    lowerCase_ = new QCheckBox(tr("用小写输出"), outputGroup);
    lowerCase_->setObjectName(QStringLiteral("lowerCaseCheck"));
    auto* encodeButton = makeButton(tr("编码"), "encodeButton", outputGroup);
    auto* copyButton = makeButton(tr("复制"), "copyButton", outputGroup);
    auto* saveButton = makeButton(tr("保存"), "saveButton", outputGroup);

    auto* options = new QGridLayout;
    options->addWidget(new QLabel(tr("进制:"), outputGroup), 0, 0);
    options->addWidget(base_, 0, 1);
    options->addWidget(new QLabel(tr("定长:"), outputGroup), 0, 2);
    options->addWidget(widthBox_, 0, 3);
    options->addWidget(new QLabel(tr("前缀:"), outputGroup), 1, 0);
    options->addWidget(prefixBox_, 1, 1);
    options->addWidget(new QLabel(tr("后缀:"), outputGroup), 1, 2);
    options->addWidget(suffixBox_, 1, 3);
    options->addWidget(lowerCase_, 2, 0, 1, 4);
    auto* outputButtons = new QHBoxLayout;
    outputButtons->addStretch(1);
    outputButtons->addWidget(encodeButton);
    outputButtons->addWidget(copyButton);
    outputButtons->addWidget(saveButton);
    auto* outputLayout = new QVBoxLayout(outputGroup);
    outputLayout->addWidget(output_);
    outputLayout->addLayout(options);
    outputLayout->addLayout(outputButtons);

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(inputGroup, 1);
    layout->addWidget(outputGroup, 1);
    // The pane area is small: tight margins leave the line edits their height.
    for (QLayout* each : {static_cast<QLayout*>(layout), static_cast<QLayout*>(inputLayout),
                          static_cast<QLayout*>(outputLayout), static_cast<QLayout*>(options)}) {
        each->setContentsMargins(6, 4, 6, 4);
        each->setSpacing(4);
    }
    options->setContentsMargins(0, 0, 0, 0);

    // Any change of the input box, typed or set by the program, makes the box's
    // text the input again.
    QObject::connect(input_, &QPlainTextEdit::textChanged, window, [this] {
        if (!pastedInput_)
            return;
        pastedInput_ = false;
        RefreshTextBytes(input_);
    });
    QObject::connect(base_, &QComboBox::currentIndexChanged, window, [this] { RefreshTextBytes(input_); });
    QObject::connect(pasteButton, &QPushButton::clicked, window, [this] { paste(); });
    QObject::connect(clearButton, &QPushButton::clicked, window, [this] { clear(); });
    QObject::connect(encodeButton, &QPushButton::clicked, window, [this] { encode(); });
    QObject::connect(copyButton, &QPushButton::clicked, window,
                     [this] { CopyResult(services(), this->window(), result_); });
    QObject::connect(saveButton, &QPushButton::clicked, window,
                     [this] { SaveResult(services(), this->window(), result_); });
}

void CASCII::windowDestroying() {
    input_ = output_ = nullptr;
    base_ = nullptr;
    prefixBox_ = suffixBox_ = widthBox_ = nullptr;
    lowerCase_ = nullptr;
}

void CASCII::paste() {
    std::optional<QByteArray> text = PasteInput(services(), window());
    if (!text)
        return;
    rawInput_ = *text;
    // Showing the text clears the flag, so it is set afterwards.
    input_->setPlainText(fromMultiLineBytes(rawInput_));
    pastedInput_ = true;
    RefreshTextBytes(input_);
}

void CASCII::clear() {
    input_->clear();
    rawInput_.clear();
}

void CASCII::encode() {
    const QString typed = input_->toPlainText();
    if (!pastedInput_)
        rawInput_ = toMultiLineBytes(typed);
    const int entry = base_->currentIndex();
    const bool codePoints = entry >= kFirstCodePointEntry;
    const CodeBase base = entry == 0 || entry == kFirstCodePointEntry ? CodeBase::Decimal : CodeBase::Hexadecimal;
    const bool lowerCase = lowerCase_->isChecked();
    const QByteArray widthText = widthBox_->text().toLatin1();
    const int width = ParseCodeWidth(std::string_view(widthText.constData(), static_cast<size_t>(widthText.size())));

    codeFormat_ = "%0";
    if (!widthText.isEmpty() && widthText != "0")
        codeFormat_ += widthText;
    codeFormat_ += base == CodeBase::Decimal ? "d" : (lowerCase ? "x" : "X");

    if (codePoints) {
        // The characters themselves: what was pasted, or the box's text with CR LF line ends.
        prefix_ = toTextBytes(prefixBox_->text());
        const CodePointEncodeOptions options{base, lowerCase, width, toCodePoints(prefixBox_->text()),
                                             toCodePoints(suffixBox_->text())};
        const QString text = pastedInput_ ? fromTextBytes(rawInput_) : withCrLf(typed);
        result_ = toTextBytes(fromCodePoints(EncodeCodePoints(toCodePoints(text), options)));
    } else {
        // Codes, prefix and suffix are a notation: written in ASCII form, then
        // taken into the code page as the result's text.
        prefix_ = toNotationBytes(prefixBox_->text());
        EncodeOptions options;
        options.base = base;
        options.lowerCase = lowerCase;
        options.width = width;
        options.prefix = toStd(prefix_);
        options.suffix = toStd(toNotationBytes(suffixBox_->text()));
        const std::string codes =
            EncodeCodes(std::string_view(rawInput_.constData(), static_cast<size_t>(rawInput_.size())), options);
        result_ = notationToTextBytes(QByteArray(codes.data(), static_cast<qsizetype>(codes.size())));
    }
    output_->setPlainText(fromTextBytes(result_));
}

// The raw input and the result are texts: they keep their characters.
void CASCII::codePageChanged(CodePage previous) {
    rawInput_ = toTextBytes(fromTextBytes(rawInput_, previous));
    result_ = toTextBytes(fromTextBytes(result_, previous));
}

} // namespace qh
