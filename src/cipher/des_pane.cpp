#include "des_pane.h"

#include "byte_string.h"
#include "pane_services.h"
#include "text_bytes_view.h"
#include "text_codec.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <string_view>

namespace qh {
namespace {

std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QByteArray toBytes(std::string_view bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Byte strings are plain ASCII; every byte of the parsed or formatted data counts.
QByteArray parseByteString(const QString& text) {
    return toBytes(ParseByteString(view(toNotationBytes(text))));
}
QString formatByteString(const QByteArray& bytes) {
    return QString::fromLatin1(FormatByteString(view(bytes)));
}

// Raw text form of arbitrary bytes in a multi-line box: line breaks as such,
// a zero byte as the visible symbol for NUL rather than a cut.
QString rawMultiLineText(const QByteArray& bytes) {
    QString text = fromMultiLineBytes(bytes);
    text.replace(QChar(0), QChar(0x2400));
    return text;
}

void showError(PaneServices& services, QWidget* pane, const QString& text) {
    services.showMessage(pane, text, caption::Error, MessageKind::Error);
}

} // namespace

CDES::CDES(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CDES::buildWindow(QWidget* window) {
    key_ = named(new QLineEdit(window), "keyEdit");
    keyBytes_ = named(new QCheckBox(tr("字节串形式"), window), "keyBytesCheck");
    auto* randomButton = named(new QPushButton(tr("随机产生"), window), "randomKeyButton");
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(new QLabel(tr("密匙:"), window));
    keyRow->addWidget(WithTextBytes(key_,
                                    [this]() -> std::optional<TextBytes> {
                                        if (!keyBytes_ || keyBytes_->isChecked())
                                            return std::nullopt;
                                        return encodeText(key_->text(), false);
                                    }),
                      1);
    keyRow->addWidget(keyBytes_);
    keyRow->addWidget(randomButton);

    const FilePathRows fileRows = BuildFilePathRows(services(), window, tr("文件"), tr("加密"), "encryptFileButton",
                                                    tr("解密"), "decryptFileButton");
    QWidget* fileGroup = fileRows.group;
    inputPath_ = fileRows.inputPath;
    outputPath_ = fileRows.outputPath;
    QPushButton* encryptFile = fileRows.first;
    QPushButton* decryptFile = fileRows.second;

    auto* textGroup = new QGroupBox(tr("字符串"), window);
    input_ = named(new QPlainTextEdit(textGroup), "inputEdit");
    inputBytes_ = named(new QCheckBox(tr("字节"), textGroup), "inputBytesCheck");
    output_ = named(new QPlainTextEdit(textGroup), "outputEdit");
    output_->setReadOnly(true);
    outputBytes_ = named(new QCheckBox(tr("字节"), textGroup), "outputBytesCheck");
    auto* encryptButton = named(new QPushButton(tr("加密"), textGroup), "encryptButton");
    auto* decryptButton = named(new QPushButton(tr("解密"), textGroup), "decryptButton");
    // Beside each box its form; the two commands read the input box.
    auto* inputSide = new QVBoxLayout;
    inputSide->addWidget(inputBytes_);
    inputSide->addStretch(1);
    inputSide->addWidget(encryptButton);
    inputSide->addWidget(decryptButton);
    auto* outputSide = new QVBoxLayout;
    outputSide->addWidget(outputBytes_);
    outputSide->addStretch(1);
    auto* textLayout = new QGridLayout(textGroup);
    textLayout->addWidget(WithTextBytes(input_,
                                        [this]() -> std::optional<TextBytes> {
                                            if (!inputBytes_ || inputBytes_->isChecked())
                                                return std::nullopt;
                                            return encodeText(input_->toPlainText(), true);
                                        }),
                          0, 0);
    textLayout->addLayout(inputSide, 0, 1);
    textLayout->addWidget(output_, 1, 0);
    textLayout->addLayout(outputSide, 1, 1);
    textLayout->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(window);
    layout->addLayout(keyRow);
    layout->addWidget(fileGroup);
    layout->addWidget(textGroup, 1);
    // The pane area is small: tight margins leave the edits their height.
    for (QLayout* each : {static_cast<QLayout*>(layout), fileGroup->layout(), static_cast<QLayout*>(textLayout)}) {
        each->setContentsMargins(6, 4, 6, 6);
        each->setSpacing(4);
    }
    for (QLayout* each :
         {static_cast<QLayout*>(keyRow), static_cast<QLayout*>(inputSide), static_cast<QLayout*>(outputSide)}) {
        each->setContentsMargins(0, 0, 0, 0);
        each->setSpacing(4);
    }

    QObject::connect(keyBytes_, &QCheckBox::toggled, window, [this](bool on) { toggleKeyForm(on); });
    QObject::connect(inputBytes_, &QCheckBox::toggled, window, [this](bool on) { toggleInputForm(on); });
    QObject::connect(outputBytes_, &QCheckBox::toggled, window, [this] { showResult(); });
    QObject::connect(randomButton, &QPushButton::clicked, window, [this] { randomKey(); });
    QObject::connect(encryptFile, &QPushButton::clicked, window, [this] { processFile(true); });
    QObject::connect(decryptFile, &QPushButton::clicked, window, [this] { processFile(false); });
    QObject::connect(encryptButton, &QPushButton::clicked, window, [this] { encryptText(); });
    QObject::connect(decryptButton, &QPushButton::clicked, window, [this] { decryptText(); });
    onFileDropped([this](const QString& path) { inputPath_->setText(path); });
}

// The current result goes with the window: a new showing starts without one.
void CDES::windowDestroying() {
    result_.reset();
    key_ = inputPath_ = outputPath_ = nullptr;
    input_ = output_ = nullptr;
    keyBytes_ = inputBytes_ = outputBytes_ = nullptr;
}

// Converts the first 29 bytes of the key box to the other form: enough for a
// byte string of the 8 key bytes and some to spare. The box holds text when it
// turns into a byte string, and a byte string when it turns into text.
void CDES::toggleKeyForm(bool byteString) {
    if (byteString) {
        const QByteArray head = toTextBytes(key_->text()).left(29);
        key_->setText(QString::fromLatin1(FormatByteString(view(head))));
    } else {
        const QByteArray head = toNotationBytes(key_->text()).left(29);
        key_->setText(fromTextBytes(toBytes(ParseByteString(view(head)))));
    }
    RefreshTextBytes(key_);
}

void CDES::toggleInputForm(bool byteString) {
    if (byteString)
        input_->setPlainText(formatByteString(toMultiLineBytes(input_->toPlainText())));
    else
        input_->setPlainText(fromMultiLineBytes(parseByteString(input_->toPlainText())));
    RefreshTextBytes(input_);
}

// The result's bytes are shown as text of the new page.
void CDES::codePageChanged(CodePage) {
    if (output_)
        showResult();
}

// The input box's bytes in its current form.
QByteArray CDES::inputBytes() const {
    const QString text = input_->toPlainText();
    return inputBytes_->isChecked() ? parseByteString(text) : toMultiLineBytes(text);
}

void CDES::showResult() {
    if (!result_)
        output_->clear();
    else if (outputBytes_->isChecked())
        output_->setPlainText(formatByteString(*result_));
    else
        output_->setPlainText(rawMultiLineText(*result_));
}

void CDES::randomKey() {
    const std::optional<DesKey> key = DesRandomKey();
    if (!key) {
        showError(services(), window(), tr("不能产生随机密匙!"));
        return;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(key->data()), static_cast<qsizetype>(key->size()));
    key_->setText(keyBytes_->isChecked() ? formatByteString(bytes) : fromTextBytes(bytes));
}

// The key of every command. The length rule counts the bytes of the box's text
// in either form, so "AD 3E B2" passes and gives a key ending in five zeros.
std::optional<DesKey> CDES::prepareKey() {
    QByteArray text = keyBytes_->isChecked() ? toNotationBytes(key_->text()) : toTextBytes(key_->text());
    if (text.size() < 8) {
        services().showMessage(window(), tr("密匙必须为 8 个字节."), caption::InputError, MessageKind::Error);
        return std::nullopt;
    }
    if (text.size() > 50)
        text.truncate(30);
    const QByteArray bytes = keyBytes_->isChecked() ? toBytes(ParseByteString(view(text))) : text;
    DesKey key{};
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), 8), key.begin());
    return key;
}

void CDES::encryptText() {
    const std::optional<DesKey> key = prepareKey();
    if (!key)
        return;
    const std::optional<std::string> cipher = DesEncryptBuffer(*key, view(inputBytes()));
    if (!cipher) {
        showError(services(), window(), tr("加密出现错误!"));
        return;
    }
    result_ = toBytes(*cipher);
    showResult();
}

void CDES::decryptText() {
    const std::optional<DesKey> key = prepareKey();
    if (!key)
        return;
    std::string plain;
    if (DesDecryptText(view(inputBytes()), *key, plain) != 0) {
        showError(services(), window(), tr("解密出现错误!可能是密文不是 8 byte 的整数倍."));
        return;
    }
    result_ = toBytes(plain);
    showResult();
}

// File commands never touch the current result or the string boxes.
void CDES::processFile(bool encrypt) {
    const std::optional<DesKey> key = prepareKey();
    if (!key)
        return;
    const QString inputPath = inputPath_->text();
    const QString outputPath = outputPath_->text();
    if (inputPath.isEmpty() || outputPath.isEmpty()) {
        showError(services(), window(), tr("输入和输出文件都不能为空!"));
        return;
    }
    const std::string input = QFile::encodeName(inputPath).toStdString();
    const std::string output = QFile::encodeName(outputPath).toStdString();
    runJob([this, encrypt, input, output, key = *key](Progress& progress) -> JobFinish {
        const int code =
            encrypt ? DesEncryptFile(input, output, key, &progress) : DesDecryptFile(input, output, key, &progress);
        return [this, encrypt, code] { reportFile(encrypt, code); };
    });
}

void CDES::reportFile(bool encrypt, int code) {
    switch (code) {
    case kDesOk:
        services().showMessage(window(), encrypt ? tr("加密成功!") : tr("解密成功!"), caption::Information,
                               MessageKind::Information);
        break;
    case kDesCannotRead:
        showError(services(), window(), tr("不能打开文件进行读入!"));
        break;
    case kDesCannotWrite:
        showError(services(), window(), tr("不能打开文件进行写入!"));
        break;
    case kDesSameFile:
        showError(services(), window(), tr("输入和输出不能是同一个文件!"));
        break;
    default:
        showError(services(), window(), encrypt ? tr("加密失败!") : tr("解密失败!"));
        break;
    }
}

} // namespace qh
