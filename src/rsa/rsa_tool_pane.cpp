#include "rsa_tool_pane.h"

#include "pane_services.h"
#include "rsa_numbers.h"
#include "text_codec.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cctype>

namespace qh {
namespace {

// The value of a hexadecimal digit string for comparison: letter case and
// leading zeros do not count ("00AB" and "ab" are the same number).
std::string comparable(const std::string& hex) {
    std::size_t first = hex.find_first_not_of('0');
    if (first == std::string::npos) // empty, or zero
        first = hex.empty() ? 0 : hex.size() - 1;
    std::string value;
    for (std::size_t i = first; i < hex.size(); ++i)
        value += static_cast<char>(std::tolower(static_cast<unsigned char>(hex[i])));
    return value;
}

QString failureReason(int status) {
    switch (status) {
    case QH_RSA_E_NUMBER:
        return CRSATool::tr("数为空或不是有效的十六进制数");
    case QH_RSA_E_ARGUMENT:
        return CRSATool::tr("数值超出范围");
    case QH_RSA_E_MODULUS:
        return CRSATool::tr("n 须为不小于 3 的奇数");
    case QH_RSA_E_RANGE:
        return CRSATool::tr("数值须小于 n");
    case QH_RSA_E_NOT_INVERTIBLE:
        return CRSATool::tr("该数和 (p-1)(q-1) 不是互相素的");
    case QH_RSA_E_INTERNAL:
        return CRSATool::tr("内存不足或不能产生随机数");
    default:
        return CRSATool::tr("错误代码 %1").arg(status);
    }
}

// Names of the numbers in messages, in the order of the pane's Number.
const char* const kNames[] = {"p", "q", "n", "e", "d"};

} // namespace

const QString CRSATool::kTitle = QStringLiteral("QUILLHORN RSATOOL");
const QString CRSATool::kHelpAddress =
    QStringLiteral("https://quillhorn.example.org/map.htm?id=help&arg=id=qh_rsatool");

CRSATool::CRSATool(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CRSATool::buildWindow(QWidget* window) {
    auto* group = new QGroupBox(tr("RSA 密匙生成工具"), window);

    auto* generateAll = named(new QPushButton(tr("生成全部"), group), "generateAllButton");
    auto* copyResult = named(new QPushButton(tr("拷贝结果"), group), "copyResultButton");
    auto* checkResult = named(new QPushButton(tr("检查结果"), group), "checkResultButton");
    keyLength_ = named(new QComboBox(group), "keyLengthCombo");
    keyLength_->setEditable(true);
    for (const char* length : {"128", "256", "512", "1024"})
        keyLength_->addItem(QString::fromLatin1(length));
    keyLength_->setCurrentIndex(2);
    keyLength_->setMinimumContentsLength(5); // room for a typed 16384
    keyLength_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* help = named(new QPushButton(tr("在线帮助"), group), "helpButton");
    help->setFlat(true);
    help->setCursor(Qt::PointingHandCursor);
    decimal_ = named(new QRadioButton(tr("十进制显示"), group), "decimalRadio");
    hexadecimal_ = named(new QRadioButton(tr("十六进制显示"), group), "hexadecimalRadio");
    auto* baseGroup = new QButtonGroup(group);
    baseGroup->addButton(decimal_);
    baseGroup->addButton(hexadecimal_);
    hexadecimal_->setChecked(true);

    auto* commands = new QHBoxLayout;
    commands->addWidget(generateAll);
    commands->addWidget(copyResult);
    commands->addWidget(checkResult);
    commands->addStretch(1);
    commands->addWidget(help);
    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(tr("秘匙长度:"), group));
    options->addWidget(keyLength_);
    options->addStretch(1);
    options->addWidget(decimal_);
    options->addWidget(hexadecimal_);

    // Each number: its label and buttons on one line, its box below.
    struct ButtonDef {
        const char* caption;
        const char* name;
    };
    struct RowDef {
        const char* label;
        const char* boxName;
        ButtonDef buttons[3]; // the last one given is the check button
    };
    const RowDef rows[NumberCount] = {
        {QT_TR_NOOP("p  (随机大素数):"), "pEdit", {{QT_TR_NOOP("随机生成"), "randomPButton"}, {"√", "testPButton"}}},
        {QT_TR_NOOP("q  (随机大素数):"), "qEdit", {{QT_TR_NOOP("随机生成"), "randomQButton"}, {"√", "testQButton"}}},
        {"n=p*q  :", "nEdit", {{QT_TR_NOOP("计算"), "computeNButton"}, {"√", "testNButton"}}},
        {QT_TR_NOOP("e (加密密匙):"),
         "eEdit",
         {{QT_TR_NOOP("随机选取"), "randomEButton"},
          {QT_TR_NOOP("据 d 计算"), "computeEButton"},
          {"√", "testEButton"}}},
        {QT_TR_NOOP("d (解密密匙):"),
         "dEdit",
         {{QT_TR_NOOP("据 e 计算"), "computeDButton"},
          {QT_TR_NOOP("随机选取"), "randomDButton"},
          {"√", "testDButton"}}},
    };
    QPushButton* buttons[NumberCount][3] = {};
    auto* numbers = new QVBoxLayout;
    numbers->setSpacing(1);
    for (int i = 0; i < NumberCount; ++i) {
        auto* line = new QHBoxLayout;
        line->addWidget(new QLabel(tr(rows[i].label), group), 1);
        for (int b = 0; b < 3 && rows[i].buttons[b].caption; ++b) {
            const ButtonDef& def = rows[i].buttons[b];
            auto* button = named(new QPushButton(tr(def.caption), group), def.name);
            button->setFixedHeight(22);
            buttons[i][b] = button;
            line->addWidget(button);
        }
        // The check button is narrow, the others as wide as their caption.
        for (QPushButton* button : buttons[i])
            if (button && button->text() == QStringLiteral("√"))
                button->setFixedWidth(28);
        auto* box = named(new QPlainTextEdit(group), rows[i].boxName);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setFixedHeight(34);
        boxes_[i] = box;
        onFocusLost(box, [this, i] { readBox(static_cast<Number>(i)); });
        numbers->addLayout(line);
        numbers->addWidget(box);
    }

    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->setContentsMargins(6, 4, 6, 6);
    groupLayout->setSpacing(3);
    groupLayout->addLayout(commands);
    groupLayout->addLayout(options);
    groupLayout->addLayout(numbers);
    groupLayout->addStretch(1);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(group);

    auto connect = [window](QPushButton* button, auto action) {
        QObject::connect(button, &QPushButton::clicked, window, action);
    };
    connect(generateAll, [this] { this->generateAll(); });
    connect(copyResult, [this] { this->copyResult(); });
    connect(checkResult, [this] { this->checkResult(); });
    connect(help, [this] { services().openUrl(QUrl(kHelpAddress)); });
    connect(buttons[P][0], [this] { randomPrime(P); });
    connect(buttons[P][1], [this] { testPrime(P); });
    connect(buttons[Q][0], [this] { randomPrime(Q); });
    connect(buttons[Q][1], [this] { testPrime(Q); });
    connect(buttons[N][0], [this] { computeN(); });
    connect(buttons[N][1], [this] { testN(); });
    connect(buttons[E][0], [this] { randomExponent(E); });
    connect(buttons[E][1], [this] { computeInverse(E); });
    connect(buttons[E][2], [this] { testCoprime(E); });
    connect(buttons[D][0], [this] { computeInverse(D); });
    connect(buttons[D][1], [this] { randomExponent(D); });
    connect(buttons[D][2], [this] { testCoprime(D); });
    QObject::connect(baseGroup, &QButtonGroup::buttonClicked, window, [this] { showNumbers(); });

    // Every showing starts with no numbers.
    for (std::string& number : numbers_)
        number.clear();
    showNumbers();
}

void CRSATool::windowDestroying() {
    boxes_.fill(nullptr);
    decimal_ = hexadecimal_ = nullptr;
    keyLength_ = nullptr;
}

int CRSATool::displayBase() const {
    return decimal_ && decimal_->isChecked() ? 10 : 16;
}

void CRSATool::showNumbers() {
    for (int i = 0; i < NumberCount; ++i) {
        if (!boxes_[i])
            continue;
        const std::string& hex = numbers_[i];
        boxes_[i]->setPlainText(QString::fromStdString(displayBase() == 10 ? ConvertRadix(hex, 16, 10) : hex));
    }
}

// The box's text, blanks and line breaks ignored, becomes the stored number;
// any other character that is not a digit of the display base refuses it.
void CRSATool::readBox(Number which) {
    const int base = displayBase();
    const std::optional<std::string> clean = CleanNumber(boxes_[which]->toPlainText().toStdString(), base);
    if (!clean) {
        const QString name = QString::fromLatin1(kNames[which]);
        showError(base == 10 ? tr("%1 不是有效的十进制数!").arg(name) : tr("%1 不是有效的十六进制数!").arg(name));
        if (boxes_[which]) // the message box may outlive the window
            store(which, numbers_[which]);
        return;
    }
    numbers_[which] = base == 10 ? ConvertRadix(*clean, 10, 16) : *clean;
}

void CRSATool::store(Number which, const std::string& value) {
    numbers_[which] = value;
    if (boxes_[which]) {
        const QString text = QString::fromStdString(displayBase() == 10 ? ConvertRadix(value, 16, 10) : value);
        boxes_[which]->setPlainText(text);
    }
}

IRsaComponent* CRSATool::component() {
    IRsaComponent* loaded = RsaComponent();
    if (!loaded)
        showError(tr("计算失败, 没有加载 RSA 组件!"));
    return loaded;
}

std::optional<RsaClient> CRSATool::client() {
    IRsaComponent* loaded = component();
    if (!loaded)
        return std::nullopt;
    return RsaClient(*loaded);
}

void CRSATool::showFailure(int status) {
    showError(tr("计算失败, %1!").arg(failureReason(status)));
}

void CRSATool::showInformation(const QString& text) {
    services().showMessage(window(), text, kTitle, MessageKind::Information);
}

void CRSATool::showError(const QString& text) {
    services().showMessage(window(), text, kTitle, MessageKind::Error);
}

void CRSATool::storeResult(Number which, const RsaResult& result) {
    if (result.ok())
        store(which, result.value);
    else
        showFailure(result.status);
}

// The prime size for the key length box; 0 after a message when no key can be
// that long.
int CRSATool::primeWords() {
    const int words = PrimeWordsForKeyLength(keyLength_->currentText().toStdString());
    if (words == 0)
        showError(tr("计算失败, 秘匙长度不能超过 %1!").arg(kMaxKeyLengthBits));
    return words;
}

// Primes of long keys take seconds: found on a worker thread.
void CRSATool::randomPrime(Number which) {
    IRsaComponent* rsa = component();
    if (!rsa)
        return;
    const int words = primeWords();
    if (words == 0)
        return;
    runJob(
        [this, rsa, which, words](Progress& progress) -> JobFinish {
            const RsaResult prime = RsaClient(*rsa).randomPrime(words, &progress);
            return [this, which, prime] { storeResult(which, prime); };
        },
        JobUnit::Steps);
}

void CRSATool::testPrime(Number which) {
    std::optional<RsaClient> rsa = client();
    if (!rsa)
        return;
    RsaAnswer answer;
    {
        BusyCursor busy;
        answer = rsa->isPrime(numbers_[which]);
    }
    if (!answer.ok())
        showFailure(answer.status);
    else if (which == P)
        answer.yes ? showInformation(tr("检测成功, p 是素数!")) : showError(tr("检测失败, p 不是素数!"));
    else
        answer.yes ? showInformation(tr("检测成功, q 是素数!")) : showError(tr("检测失败, q 不是素数!"));
}

void CRSATool::computeN() {
    if (std::optional<RsaClient> rsa = client())
        storeResult(N, rsa->multiply(numbers_[P], numbers_[Q]));
}

// Compares values, not digit strings: an n typed in upper case or with leading
// zeros is still the right n.
void CRSATool::testN() {
    std::optional<RsaClient> rsa = client();
    if (!rsa)
        return;
    const RsaResult m = rsa->multiply(numbers_[P], numbers_[Q]);
    if (!m.ok()) {
        showFailure(m.status);
        return;
    }
    if (comparable(m.value) == comparable(numbers_[N])) {
        showInformation(tr("检测成功!"));
        return;
    }
    if (services().showMessage(window(), tr("检测失败,是否将 n 改为正确的值?"), kTitle, MessageKind::Question) ==
        MessageAnswer::Yes)
        store(N, m.value);
}

void CRSATool::randomExponent(Number which) {
    if (std::optional<RsaClient> rsa = client())
        storeResult(which, rsa->randomExponent());
}

// d from e (target D) or e from d (target E).
void CRSATool::computeInverse(Number target) {
    const Number source = target == D ? E : D;
    if (numbers_[source].empty() || numbers_[P].empty() || numbers_[Q].empty()) {
        showInformation(source == E ? tr("p,q,e 之一为空!") : tr("p,q,d 之一为空!"));
        return;
    }
    if (std::optional<RsaClient> rsa = client())
        storeResult(target, rsa->inverseModPhi(numbers_[P], numbers_[Q], numbers_[source]));
}

void CRSATool::testCoprime(Number which) {
    if (numbers_[which].empty() || numbers_[P].empty() || numbers_[Q].empty()) {
        showInformation(which == E ? tr("p,q,e 之一为空!") : tr("p,q,d 之一为空!"));
        return;
    }
    std::optional<RsaClient> rsa = client();
    if (!rsa)
        return;
    const RsaAnswer answer = rsa->isCoprimeToPhi(numbers_[P], numbers_[Q], numbers_[which]);
    if (!answer.ok())
        showFailure(answer.status);
    else if (answer.yes)
        showInformation(tr("检测成功!"));
    else
        showError(which == E ? tr("检测失败, e 和 (p-1)(q-1) 不是互相素的!")
                             : tr("检测失败, d 和 (p-1)(q-1) 不是互相素的!"));
}

// A failed component call leaves every number as it was. Otherwise the numbers
// are shown whatever the round trips gave, provided all five were produced
// (the last attempt may have had an e without an inverse).
void CRSATool::generateAll() {
    IRsaComponent* rsa = component();
    if (!rsa)
        return;
    const int words = primeWords();
    if (words == 0)
        return;
    runJob(
        [this, rsa, words](Progress& progress) -> JobFinish {
            RsaClient client(*rsa);
            const GeneratedKey key = GenerateKey(client, words, &progress);
            return [this, key] { showGeneratedKey(key); };
        },
        JobUnit::Steps);
}

void CRSATool::showGeneratedKey(const GeneratedKey& key) {
    if (key.status != QH_RSA_OK) {
        showFailure(key.status);
        return;
    }
    if (!key.p.empty() && !key.q.empty() && !key.n.empty() && !key.e.empty() && !key.d.empty()) {
        store(P, key.p);
        store(Q, key.q);
        store(N, key.n);
        store(E, key.e);
        store(D, key.d);
    }
    if (key.passed)
        showInformation(tr("生成成功,尝试了 %1 次!").arg(key.attempts));
    else
        services().showMessage(window(), tr("生成失败,请重试!"), caption::Error, MessageKind::Error);
}

void CRSATool::checkResult() {
    std::optional<RsaClient> rsa = client();
    if (!rsa)
        return;
    bool passed;
    {
        BusyCursor busy;
        passed = RoundTripPasses(*rsa, numbers_[N], numbers_[E], numbers_[D]);
    }
    if (passed)
        showInformation(tr("检测成功!"));
    else
        showError(tr("检测失败!"));
}

// n, e and d in hexadecimal whatever the display base, as the RSA pane pastes
// them; the clipboard takes them as text of the code page.
void CRSATool::copyResult() {
    const std::string text = numbers_[N] + "\r\n" + numbers_[E] + "\r\n" + numbers_[D];
    CopyResult(services(), window(), notationToTextBytes(QByteArray::fromStdString(text)));
}

} // namespace qh
