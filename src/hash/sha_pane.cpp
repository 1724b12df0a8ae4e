#include "sha_pane.h"

#include "byte_source.h"
#include "sha.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>
#include <memory>

namespace qh {
namespace {

// The combo box entries in the order of ShaVariant.
const char* const kAlgorithms[] = {"SHA-1", "SHA-224", "SHA-256", "SHA-384", "SHA-512"};

ShaVariant selectedVariant(const QComboBox* algorithm) {
    const int index = algorithm->currentIndex();
    // No entry selected counts as SHA-1.
    return index >= 0 && index <= 4 ? static_cast<ShaVariant>(index) : ShaVariant::Sha1;
}

// Each byte as two hexadecimal digits, followed by a blank when asked (so the
// text then ends with a blank).
QString formatDigest(const std::uint8_t* digest, std::size_t length, bool upper, bool blanks) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    QString text;
    text.reserve(static_cast<qsizetype>(length * 3));
    for (std::size_t i = 0; i < length; ++i) {
        text += QLatin1Char(digits[digest[i] >> 4]);
        text += QLatin1Char(digits[digest[i] & 0x0F]);
        if (blanks)
            text += QLatin1Char(' ');
    }
    return text;
}

} // namespace

CSHADlg::CSHADlg(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CSHADlg::buildWindow(QWidget* window) {
    QGroupBox* inputGroup = BuildHashInputGroup(services(), window, input_);

    auto* outputGroup = new QGroupBox(tr("输出"), window);
    upperCase_ = named(new QRadioButton(tr("大写"), outputGroup), "upperCaseRadio");
    lowerCase_ = named(new QRadioButton(tr("小写"), outputGroup), "lowerCaseRadio");
    auto* caseGroup = new QButtonGroup(outputGroup);
    caseGroup->addButton(upperCase_);
    caseGroup->addButton(lowerCase_);
    upperCase_->setChecked(true);
    blanks_ = named(new QCheckBox(tr("字节间用空格分割"), outputGroup), "blankCheck");
    output_ = named(new QPlainTextEdit(outputGroup), "outputEdit");
    output_->setReadOnly(true);
    algorithm_ = named(new QComboBox(outputGroup), "algorithmCombo");
    for (const char* name : kAlgorithms)
        algorithm_->addItem(QString::fromLatin1(name));
    algorithm_->setCurrentIndex(0);
    auto* computeButton = named(new QPushButton(tr("计算"), outputGroup), "computeButton");

    auto* options = new QHBoxLayout;
    options->addWidget(upperCase_);
    options->addWidget(lowerCase_);
    options->addSpacing(8);
    options->addWidget(blanks_);
    options->addStretch(1);
    auto* actions = new QHBoxLayout;
    actions->addWidget(algorithm_);
    actions->addStretch(1);
    actions->addWidget(computeButton);
    auto* outputLayout = new QVBoxLayout(outputGroup);
    outputLayout->setContentsMargins(6, 4, 6, 6);
    outputLayout->setSpacing(4);
    outputLayout->addLayout(options);
    outputLayout->addWidget(output_, 1);
    outputLayout->addLayout(actions);

    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(inputGroup, 1);
    layout->addWidget(outputGroup, 1);

    QObject::connect(computeButton, &QPushButton::clicked, window, [this] { compute(); });
    onFileDropped([this](const QString& path) { TakeDroppedFile(input_, path); });
}

void CSHADlg::windowDestroying() {
    input_ = {};
    upperCase_ = lowerCase_ = nullptr;
    blanks_ = nullptr;
    output_ = nullptr;
    algorithm_ = nullptr;
}

void CSHADlg::compute() {
    std::shared_ptr<ByteSource> source = OpenHashInput(services(), window(), input_, [this] { output_->clear(); });
    if (!source)
        return;
    // The options count as they stand when 计算 is pressed.
    const ShaVariant variant = selectedVariant(algorithm_);
    const bool upper = upperCase_->isChecked();
    const bool blanks = blanks_->isChecked();
    runJob([this, source, variant, upper, blanks](Progress& progress) -> JobFinish {
        std::array<std::uint8_t, 64> digest{};
        ShaCompute(variant, *source, source->Size(), digest.data(), &progress);
        return [this, source, variant, upper, blanks, digest] {
            if (ReportUnreadHashInput(services(), window(), input_, *source, [this] { output_->clear(); }))
                return;
            output_->setPlainText(formatDigest(digest.data(), ShaDigestLength(variant), upper, blanks));
        };
    });
}

} // namespace qh
