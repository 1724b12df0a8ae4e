#include "rsa_pane.h"

#include "pane_services.h"
#include "rsa_loader.h"
#include "rsa_numbers.h"
#include "text_bytes_view.h"
#include "text_codec.h"

#include <QButtonGroup>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <limits>
#include <optional>
#include <string_view>

namespace qh {
namespace {

const QString kTitle = QStringLiteral("QUILLHORN RSA");

std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Bytes as text in a multi-line box, with a zero byte shown as the visible
// symbol for NUL rather than cutting the text.
QString rawMultiLineText(const QByteArray& bytes) {
    QString text = fromMultiLineBytes(bytes);
    text.replace(QChar(0), QChar(0x2400));
    return text;
}

// The short reason added to "加密失败!" / "解密失败!" for the statuses a user
// can act on; empty for the others.
QString failureReason(int status) {
    switch (status) {
    case QH_RSA_E_MODULUS:
        return CRSA::tr("n 须为不小于 3 的奇数.");
    case QH_RSA_E_EXPONENT:
        return CRSA::tr("e 须为大于 1 的奇数.");
    case QH_RSA_E_RANGE:
        return CRSA::tr("整数须小于 n.");
    case QH_RSA_E_PRIME_MODULUS:
        return CRSA::tr("n 是素数, 谁都能解密.");
    case QH_RSA_E_KEY_TOO_SMALL:
        return CRSA::tr("n 太小, 至少需要 113 位.");
    case QH_RSA_E_FORMAT:
        return CRSA::tr("密文已损坏或格式不对.");
    case QH_RSA_E_WRONG_KEY:
        return CRSA::tr("密文不是用这个密匙加密的.");
    case QH_RSA_E_OPEN_INPUT:
        return CRSA::tr("不能读入输入文件.");
    case QH_RSA_E_OPEN_OUTPUT:
        return CRSA::tr("不能写入输出文件.");
    case QH_RSA_E_SAME_FILE:
        return CRSA::tr("输入和输出不能是同一个文件.");
    default:
        return QString();
    }
}

QString failureMessage(bool encrypt, int status) {
    return (encrypt ? CRSA::tr("加密失败!") : CRSA::tr("解密失败!")) + failureReason(status);
}

// Added to the failure message when no component is loaded.
QString noComponentReason() {
    return CRSA::tr("没有可用的 RSA 组件.");
}

} // namespace

CRSA::CRSA(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CRSA::buildWindow(QWidget* window) {
    auto* keyGroup = new QGroupBox(tr("密匙"), window);
    decimalKey_ = named(new QRadioButton(tr("十进制"), keyGroup), "keyDecimalRadio");
    hexKey_ = named(new QRadioButton(tr("十六进制"), keyGroup), "keyHexRadio");
    auto* keyBases = new QButtonGroup(keyGroup);
    keyBases->addButton(decimalKey_);
    keyBases->addButton(hexKey_);
    hexKey_->setChecked(true);
    nBox_ = named(new QLineEdit(keyGroup), "nEdit");
    eBox_ = named(new QLineEdit(keyGroup), "eEdit");
    dBox_ = named(new QLineEdit(keyGroup), "dEdit");
    auto* pasteButton = named(new QPushButton(tr("粘贴"), keyGroup), "pasteButton");
    auto* keyLayout = new QGridLayout(keyGroup);
    auto* baseRow = new QHBoxLayout;
    baseRow->addWidget(decimalKey_);
    baseRow->addWidget(hexKey_);
    baseRow->addStretch(1);
    baseRow->addWidget(pasteButton);
    keyLayout->addLayout(baseRow, 0, 0, 1, 2);
    int row = 1;
    for (auto [label, box] : {std::pair{"n:", nBox_}, std::pair{"e:", eBox_}, std::pair{"d:", dBox_}}) {
        // Keys of any length: a line edit would cut at 32767 characters.
        box->setMaxLength(std::numeric_limits<int>::max());
        keyLayout->addWidget(new QLabel(QString::fromLatin1(label), keyGroup), row, 0);
        keyLayout->addWidget(box, row++, 1);
    }
    keyLayout->setColumnStretch(1, 1);

    const FilePathRows fileRows = BuildFilePathRows(services(), window, tr("加密文件"), tr("加密"), "encryptFileButton",
                                                    tr("解密"), "decryptFileButton");
    QWidget* fileGroup = fileRows.group;
    inputPath_ = fileRows.inputPath;
    outputPath_ = fileRows.outputPath;
    QPushButton* encryptFile = fileRows.first;
    QPushButton* decryptFile = fileRows.second;

    auto* textGroup = new QGroupBox(tr("加密字串"), window);
    textMode_ = named(new QRadioButton(tr("字符串"), textGroup), "textModeRadio");
    decimalMode_ = named(new QRadioButton(tr("十进制整数"), textGroup), "decimalModeRadio");
    hexMode_ = named(new QRadioButton(tr("十六进制整数"), textGroup), "hexModeRadio");
    auto* modes = new QButtonGroup(textGroup);
    for (QRadioButton* each : {textMode_, decimalMode_, hexMode_})
        modes->addButton(each);
    textMode_->setChecked(true);
    input_ = named(new QPlainTextEdit(textGroup), "inputEdit");
    output_ = named(new QPlainTextEdit(textGroup), "outputEdit");
    output_->setReadOnly(true);
    // Three lines each still fit into the small pane area.
    for (QPlainTextEdit* each : {input_, output_})
        each->setMinimumHeight(48);
    auto* encryptButton = named(new QPushButton(tr("加密"), textGroup), "encryptButton");
    auto* decryptButton = named(new QPushButton(tr("解密"), textGroup), "decryptButton");
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(textMode_);
    modeRow->addWidget(decimalMode_);
    modeRow->addWidget(hexMode_);
    modeRow->addStretch(1);
    // Both commands read the input box and write the output box; each stands
    // beside a box with the key part it uses, which keeps the group short.
    auto* encryptSide = new QVBoxLayout;
    encryptSide->addWidget(encryptButton);
    encryptSide->addWidget(new QLabel(tr("(使用 n,e )"), textGroup));
    encryptSide->addStretch(1);
    auto* decryptSide = new QVBoxLayout;
    decryptSide->addWidget(decryptButton);
    decryptSide->addWidget(new QLabel(tr("(使用 n,d )"), textGroup));
    decryptSide->addStretch(1);
    auto* textLayout = new QGridLayout(textGroup);
    textLayout->addLayout(modeRow, 0, 0, 1, 2);
    textLayout->addWidget(WithTextBytes(input_,
                                        [this]() -> std::optional<TextBytes> {
                                            if (!textMode_ || !textMode_->isChecked())
                                                return std::nullopt;
                                            return encodeText(input_->toPlainText(), true);
                                        }),
                          1, 0);
    textLayout->addLayout(encryptSide, 1, 1);
    textLayout->addWidget(output_, 2, 0);
    textLayout->addLayout(decryptSide, 2, 1);
    textLayout->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(keyGroup);
    layout->addWidget(fileGroup);
    layout->addWidget(textGroup, 1);
    // The pane area is small: tight margins leave the edits their height.
    for (QLayout* each : {static_cast<QLayout*>(layout), static_cast<QLayout*>(keyLayout), fileGroup->layout(),
                          static_cast<QLayout*>(textLayout)}) {
        each->setContentsMargins(6, 3, 6, 4);
        each->setSpacing(3);
    }
    for (QLayout* each : {static_cast<QLayout*>(baseRow), static_cast<QLayout*>(modeRow),
                          static_cast<QLayout*>(encryptSide), static_cast<QLayout*>(decryptSide)}) {
        each->setContentsMargins(0, 0, 0, 0);
        each->setSpacing(4);
    }

    // Every showing starts with an empty key.
    n_.clear();
    e_.clear();
    d_.clear();
    showKey();

    for (QLineEdit* box : {nBox_, eBox_, dBox_})
        onFocusLost(box, [this, box] { readKeyBox(box); });
    QObject::connect(decimalKey_, &QRadioButton::clicked, window, [this] { showKey(); });
    QObject::connect(hexKey_, &QRadioButton::clicked, window, [this] { showKey(); });
    QObject::connect(textMode_, &QRadioButton::toggled, window, [this] { RefreshTextBytes(input_); });
    QObject::connect(pasteButton, &QPushButton::clicked, window, [this] { pasteKey(); });
    QObject::connect(encryptFile, &QPushButton::clicked, window, [this] { processFile(true); });
    QObject::connect(decryptFile, &QPushButton::clicked, window, [this] { processFile(false); });
    QObject::connect(encryptButton, &QPushButton::clicked, window, [this] { processInput(true); });
    QObject::connect(decryptButton, &QPushButton::clicked, window, [this] { processInput(false); });
    onFileDropped([this](const QString& path) { inputPath_->setText(path); });
}

void CRSA::windowDestroying() {
    decimalKey_ = hexKey_ = textMode_ = decimalMode_ = hexMode_ = nullptr;
    nBox_ = eBox_ = dBox_ = inputPath_ = outputPath_ = nullptr;
    input_ = output_ = nullptr;
}

void CRSA::showError(const QString& text) {
    services().showMessage(window(), text, kTitle, MessageKind::Error);
}

int CRSA::keyBase() const {
    return decimalKey_->isChecked() ? 10 : 16;
}

void CRSA::showKey() {
    const int base = keyBase();
    for (auto [box, value] : {std::pair{nBox_, &n_}, std::pair{eBox_, &e_}, std::pair{dBox_, &d_}}) {
        box->setText(QString::fromLatin1(base == 16 ? *value : ConvertRadix(*value, 16, 10)));
        box->setCursorPosition(0); // long numbers are read from their first digit
    }
}

// Stores the number in `box` as hexadecimal. A text that is not a number of the
// shown base is refused: the stored value stays and the box shows it again.
void CRSA::readKeyBox(QLineEdit* edit) {
    std::string* stored = edit == nBox_ ? &n_ : edit == eBox_ ? &e_ : &d_;
    const int base = keyBase();
    const std::optional<std::string> digits = CleanNumber(view(edit->text().toLatin1()), base);
    // toLatin1 turns characters beyond Latin-1 into '?', which is refused too.
    if (!digits) {
        const char* name = edit == nBox_ ? "n" : edit == eBox_ ? "e" : "d";
        edit->setText(QString::fromLatin1(base == 16 ? *stored : ConvertRadix(*stored, 16, 10)));
        edit->setCursorPosition(0);
        showError(
            (base == 16 ? tr("%1 不是有效的十六进制数!") : tr("%1 不是有效的十进制数!")).arg(QLatin1String(name)));
        return;
    }
    *stored = base == 16 ? *digits : ConvertRadix(*digits, 10, 16);
}

// Reads a key in the form the key workbench copies: n CR LF e CR LF d, each
// hexadecimal; lines ending in LF alone (as quillhorn-cli rsa keygen prints
// them) are read the same way. Blanks inside a number and a line break
// ending d are dropped; a number with any other character, or a d of several
// lines, changes nothing.
void CRSA::pasteKey() {
    QByteArray pasted;
    if (services().readClipboardText(window(), pasted) != ClipboardRead::Ok)
        return;
    // The clipboard's text is in the code page; the numbers are read in ASCII form.
    QByteArray text = textToNotationBytes(pasted);
    text.replace("\r\n", "\n");
    const qsizetype first = text.indexOf('\n');
    const qsizetype second = first < 0 ? -1 : text.indexOf('\n', first + 1);
    if (second < 0)
        return;
    // d runs to the end of the text. A final line break ends it; one inside it
    // would glue further lines into d, so that d is refused.
    const QByteArray d = text.mid(second + 1).trimmed();
    const QByteArray parts[3] = {text.left(first), text.mid(first + 1, second - first - 1), d};
    std::string numbers[3];
    for (int i = 0; i < 3; ++i) {
        std::optional<std::string> digits = CleanNumber(view(parts[i]), 16);
        if (!digits || parts[i].contains('\n') || parts[i].contains('\r')) {
            showError(tr("粘贴的 %1 不是有效的十六进制数!").arg(QLatin1Char("ned"[i])));
            return;
        }
        numbers[i] = std::move(*digits);
    }
    n_ = std::move(numbers[0]);
    e_ = std::move(numbers[1]);
    d_ = std::move(numbers[2]);
    showKey();
}

void CRSA::processFile(bool encrypt) {
    const QString inputPath = inputPath_->text();
    const QString outputPath = outputPath_->text();
    const std::string& exponent = encrypt ? e_ : d_;
    if (inputPath.isEmpty()) {
        showError(tr("输入文件不能为空!"));
        return;
    }
    if (outputPath.isEmpty()) {
        showError(tr("输出文件不能为空!"));
        return;
    }
    if (n_.empty() || exponent.empty()) {
        showError(encrypt ? tr("n 或 e 不能为空!") : tr("n 或 d 不能为空!"));
        return;
    }
    IRsaComponent* component = RsaComponent();
    if (!component) {
        showError(failureMessage(encrypt, QH_RSA_OK) + noComponentReason());
        return;
    }
    const std::string input = QFile::encodeName(inputPath).toStdString();
    const std::string output = QFile::encodeName(outputPath).toStdString();
    runJob([this, component, encrypt, n = n_, exponent, input, output](Progress& progress) -> JobFinish {
        RsaClient client(*component);
        const int status = encrypt ? client.encryptFile(n, exponent, input, output, &progress)
                                   : client.decryptFile(n, exponent, input, output, &progress);
        return [this, encrypt, status] {
            if (status != QH_RSA_OK) {
                showError(failureMessage(encrypt, status));
                return;
            }
            services().showMessage(window(), encrypt ? tr("加密成功!") : tr("解密成功!"), kTitle,
                                   MessageKind::Information);
        };
    });
}

// Encrypts or decrypts the input box by the mode: its text bytes as a string,
// or an integer in decimal or hexadecimal. The output box changes only on success.
void CRSA::processInput(bool encrypt) {
    const std::string& exponent = encrypt ? e_ : d_;
    if (n_.empty() || exponent.empty()) {
        showError(encrypt ? tr("n 或 e 不能为空!") : tr("n 或 d 不能为空!"));
        return;
    }
    const Mode mode = textMode_->isChecked()      ? Mode::Text
                      : decimalMode_->isChecked() ? Mode::Decimal
                                                  : Mode::Hexadecimal;
    // A text to encrypt is in the code page; a ciphertext or a number is a notation.
    const QByteArray bytes = mode == Mode::Text && encrypt ? toMultiLineBytes(input_->toPlainText())
                                                           : toNotationMultiLineBytes(input_->toPlainText());
    std::string number;
    if (mode != Mode::Text) {
        const int base = mode == Mode::Decimal ? 10 : 16;
        const std::optional<std::string> digits = CleanNumber(view(bytes), base);
        if (!digits || digits->empty()) {
            showError(base == 10 ? tr("输入不是有效的十进制整数!") : tr("输入不是有效的十六进制整数!"));
            return;
        }
        number = base == 10 ? ConvertRadix(*digits, 10, 16) : *digits;
    }
    IRsaComponent* component = RsaComponent();
    if (!component) {
        showError(failureMessage(encrypt, QH_RSA_OK) + noComponentReason());
        return;
    }
    if (mode != Mode::Text) {
        // One exponentiation: quick whatever the key.
        RsaClient client(*component);
        const RsaResult result =
            encrypt ? client.encryptInteger(n_, exponent, number) : client.decryptInteger(n_, exponent, number);
        showResult(encrypt, mode, result);
        return;
    }
    // A text of any length, block by block on a worker thread.
    runJob([this, component, encrypt, n = n_, exponent, text = bytes.toStdString()](Progress& progress) -> JobFinish {
        RsaClient client(*component);
        const RsaResult result = encrypt ? client.encryptString(n, exponent, text, &progress)
                                         : client.decryptString(n, exponent, text, &progress);
        return [this, encrypt, result] { showResult(encrypt, Mode::Text, result); };
    });
}

// The output box changes only on success.
void CRSA::showResult(bool encrypt, Mode mode, const RsaResult& result) {
    if (!result.ok()) {
        showError(failureMessage(encrypt, result.status));
        return;
    }
    if (mode == Mode::Text && !encrypt)
        output_->setPlainText(rawMultiLineText(QByteArray::fromStdString(result.value)));
    else if (mode == Mode::Decimal)
        output_->setPlainText(QString::fromLatin1(ConvertRadix(result.value, 16, 10)));
    else
        output_->setPlainText(QString::fromLatin1(result.value));
}

} // namespace qh
