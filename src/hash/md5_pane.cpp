#include "md5_pane.h"

#include "hash_input.h"
#include "hash_value.h"
#include "md5.h"
#include "pane_services.h"
#include "text_bytes_view.h"
#include "text_codec.h"

#include <QButtonGroup>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <string_view>

namespace qh {
namespace {

QButtonGroup* exclusive(QWidget* parent, std::initializer_list<QRadioButton*> radios) {
    auto* group = new QButtonGroup(parent);
    for (QRadioButton* each : radios)
        group->addButton(each);
    return group;
}

std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace

CMD5::CMD5(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CMD5::buildWindow(QWidget* window) {
    auto* inputGroup = new QGroupBox(tr("输入"), window);
    fileRadio_ = named(new QRadioButton(tr("文件"), inputGroup), "fileRadio");
    path_ = named(new QLineEdit(inputGroup), "pathEdit");
    browse_ = named(new QPushButton(tr("浏览"), inputGroup), "browseButton");
    textRadio_ = named(new QRadioButton(tr("字符串"), inputGroup), "textRadio");
    hashValueRadio_ = named(new QRadioButton(tr("散列值(如: AD 3E B2)"), inputGroup), "hashValueRadio");
    input_ = named(new QPlainTextEdit(inputGroup), "inputEdit");
    exclusive(inputGroup, {fileRadio_, textRadio_, hashValueRadio_});
    textRadio_->setChecked(true);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileRadio_);
    fileRow->addWidget(path_, 1);
    fileRow->addWidget(browse_);
    auto* kindRow = new QHBoxLayout;
    kindRow->addWidget(textRadio_);
    kindRow->addSpacing(12);
    kindRow->addWidget(hashValueRadio_);
    kindRow->addStretch(1);
    auto* inputLayout = new QVBoxLayout(inputGroup);
    inputLayout->setContentsMargins(6, 4, 6, 6);
    inputLayout->setSpacing(4);
    inputLayout->addLayout(fileRow);
    inputLayout->addLayout(kindRow);
    inputLayout->addWidget(WithTextBytes(input_,
                                         [this]() -> std::optional<TextBytes> {
                                             if (!fileRadio_ || fileRadio_->isChecked() || hashValueRadio_->isChecked())
                                                 return std::nullopt;
                                             return encodeText(input_->toPlainText(), true);
                                         }),
                           1);

    auto* outputGroup = new QGroupBox(tr("输出"), window);
    output_ = named(new QLineEdit(outputGroup), "outputEdit");
    output_->setReadOnly(true);
    auto* computeButton = named(new QPushButton(tr("计算"), outputGroup), "computeButton");
    digits16_ = named(new QRadioButton(tr("16 位"), outputGroup), "digits16Radio");
    digits32_ = named(new QRadioButton(tr("32 位"), outputGroup), "digits32Radio");
    upperCase_ = named(new QRadioButton(tr("大写"), outputGroup), "upperCaseRadio");
    lowerCase_ = named(new QRadioButton(tr("小写"), outputGroup), "lowerCaseRadio");
    exclusive(outputGroup, {digits16_, digits32_});
    exclusive(outputGroup, {upperCase_, lowerCase_});
    digits32_->setChecked(true);
    upperCase_->setChecked(true);

    auto* options = new QHBoxLayout;
    options->addWidget(digits16_);
    options->addWidget(digits32_);
    options->addSpacing(16);
    options->addWidget(upperCase_);
    options->addWidget(lowerCase_);
    options->addStretch(1);
    options->addWidget(computeButton);
    auto* outputLayout = new QVBoxLayout(outputGroup);
    outputLayout->setContentsMargins(6, 4, 6, 6);
    outputLayout->setSpacing(6);
    outputLayout->addWidget(output_);
    outputLayout->addLayout(options);

    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(inputGroup, 1);
    layout->addWidget(outputGroup);

    applyInputKind();
    for (QRadioButton* each : {fileRadio_, textRadio_, hashValueRadio_})
        QObject::connect(each, &QRadioButton::toggled, window, [this] { applyInputKind(); });
    QObject::connect(browse_, &QPushButton::clicked, window,
                     [this] { BrowseForInput(services(), this->window(), path_); });
    QObject::connect(computeButton, &QPushButton::clicked, window, [this] { compute(); });
    onFileDropped([this](const QString& path) {
        fileRadio_->setChecked(true);
        path_->setText(path);
    });
}

void CMD5::windowDestroying() {
    fileRadio_ = textRadio_ = hashValueRadio_ = nullptr;
    path_ = output_ = nullptr;
    browse_ = nullptr;
    input_ = nullptr;
    digits16_ = digits32_ = upperCase_ = lowerCase_ = nullptr;
}

// The path edit and 浏览 serve the file input, the multi-line edit the other two.
void CMD5::applyInputKind() {
    const bool file = fileRadio_->isChecked();
    path_->setEnabled(file);
    browse_->setEnabled(file);
    input_->setEnabled(!file);
    RefreshTextBytes(input_);
}

void CMD5::compute() {
    // The options count as they stand when 计算 is pressed.
    const bool shortForm = digits16_->isChecked();
    const bool upper = upperCase_->isChecked();
    std::string digest;
    if (fileRadio_->isChecked()) {
        const QString path = path_->text();
        if (path.isEmpty())
            return;
        // A file is digested on a worker thread; the window stays live.
        runJob([this, path, shortForm, upper](Progress& progress) -> JobFinish {
            const std::optional<std::string> fileDigest = Md5File(QFile::encodeName(path).toStdString(), &progress);
            return [this, path, fileDigest, shortForm, upper] {
                if (fileDigest) {
                    showDigest(*fileDigest, shortForm, upper);
                    return;
                }
                // No digest of an earlier input may stay beside the new one.
                output_->clear();
                services().showMessage(window(), CannotOpenFileMessage(path), caption::Error, MessageKind::Error);
            };
        });
        return;
    } else if (hashValueRadio_->isChecked()) {
        const std::optional<std::string> bytes =
            ParseMd5HashValue(view(toNotationMultiLineBytes(input_->toPlainText())));
        if (!bytes) {
            services().showMessage(window(), tr("散列值必须由十六进制数组成,用空格分隔."), tr("输入格式错误!"),
                                   MessageKind::Error);
            return;
        }
        digest = Md5Buffer(*bytes);
    } else {
        // 字符串, and the fallback should no input radio be checked.
        digest = Md5Buffer(view(toMultiLineBytes(input_->toPlainText())));
    }

    showDigest(digest, shortForm, upper);
}

void CMD5::showDigest(const std::string& digest, bool shortForm, bool upper) {
    QString text = QString::fromLatin1(digest.data(), static_cast<qsizetype>(digest.size()));
    if (shortForm)
        text = text.mid(8, 16); // the digits of digest bytes 4 to 11
    output_->setText(upper ? text.toUpper() : text.toLower());
}

} // namespace qh
