#include "crc_pane.h"

#include "byte_source.h"
#include "crc.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qh {
namespace {

enum Algorithm { kCrc16 = 0, kCrcCcitt = 1, kCrc32 = 2 };

} // namespace

CCRCDlg::CCRCDlg(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CCRCDlg::buildWindow(QWidget* window) {
    QGroupBox* inputGroup = BuildHashInputGroup(services(), window, input_);

    auto* outputGroup = new QGroupBox(tr("输出"), window);
    hex_ = named(new QRadioButton(tr("十六进制"), outputGroup), "hexRadio");
    decimal_ = named(new QRadioButton(tr("十进制"), outputGroup), "decimalRadio");
    binary_ = named(new QRadioButton(tr("二进制"), outputGroup), "binaryRadio");
    auto* baseGroup = new QButtonGroup(outputGroup);
    for (QRadioButton* each : {hex_, decimal_, binary_})
        baseGroup->addButton(each);
    hex_->setChecked(true);
    algorithm_ = named(new QComboBox(outputGroup), "algorithmCombo");
    algorithm_->addItems({QStringLiteral("CRC-16"), QStringLiteral("CRC-CCITT"), QStringLiteral("CRC-32")});
    algorithm_->setCurrentIndex(kCrc16);
    output_ = named(new QLineEdit(outputGroup), "outputEdit");
    output_->setReadOnly(true);
    auto* computeButton = named(new QPushButton(tr("计算"), outputGroup), "computeButton");

    auto* bases = new QHBoxLayout;
    bases->addWidget(hex_);
    bases->addWidget(decimal_);
    bases->addWidget(binary_);
    bases->addStretch(1);
    auto* actions = new QHBoxLayout;
    actions->addWidget(algorithm_);
    actions->addStretch(1);
    actions->addWidget(computeButton);
    auto* outputLayout = new QVBoxLayout(outputGroup);
    outputLayout->setContentsMargins(6, 4, 6, 6);
    outputLayout->setSpacing(6);
    outputLayout->addLayout(bases);
    outputLayout->addWidget(output_);
    outputLayout->addLayout(actions);

    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(inputGroup, 1);
    layout->addWidget(outputGroup);

    QObject::connect(computeButton, &QPushButton::clicked, window, [this] { compute(); });
    onFileDropped([this](const QString& path) { TakeDroppedFile(input_, path); });
}

void CCRCDlg::windowDestroying() {
    input_ = {};
    hex_ = decimal_ = binary_ = nullptr;
    algorithm_ = nullptr;
    output_ = nullptr;
}

void CCRCDlg::compute() {
    std::shared_ptr<ByteSource> source = OpenHashInput(services(), window(), input_, [this] { output_->clear(); });
    if (!source)
        return;
    const int algorithm = algorithm_->currentIndex();
    runJob([this, source, algorithm](Progress& progress) -> JobFinish {
        CrcCalculator calculator;
        std::uint32_t value = 0;
        int bits = 16;
        switch (algorithm) {
        case kCrc32:
            value = calculator.Crc32(*source, source->Size(), &progress);
            bits = 32;
            break;
        case kCrc16:
            value = calculator.Crc16(*source, source->Size(), &progress);
            break;
        default: // CRC-CCITT, or no entry selected
            value = calculator.CrcCcitt(*source, source->Size(), &progress);
            break;
        }
        return [this, source, value, bits] {
            if (ReportUnreadHashInput(services(), window(), input_, *source, [this] { output_->clear(); }))
                return;
            output_->setText(format(value, bits));
        };
    });
}

// The value in the base chosen when 计算 is pressed; every form but decimal
// keeps its leading zeros.
QString CCRCDlg::format(std::uint32_t value, int bits) const {
    if (hex_->isChecked())
        return QStringLiteral("%1").arg(value, bits / 4, 16, QLatin1Char('0')).toUpper();
    if (decimal_->isChecked())
        return QString::number(value);
    const std::string text = FormatBitString(value, bits, true);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace qh
