#include "base64_pane.h"

#include "base64.h"
#include "pane_services.h"
#include "text_bytes_view.h"
#include "text_codec.h"

#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>
#include <string_view>

namespace qh {
namespace {

std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace

CBASE::CBASE(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CBASE::buildWindow(QWidget* window) {
    const FilePathRows fileRows = BuildFilePathRows(services(), window, tr("文件"), tr("编码"), "encodeFileButton",
                                                    tr("解码"), "decodeFileButton");
    QWidget* fileGroup = fileRows.group;
    inputPath_ = fileRows.inputPath;
    outputPath_ = fileRows.outputPath;
    QPushButton* encodeFile = fileRows.first;
    QPushButton* decodeFile = fileRows.second;

    auto* textGroup = new QGroupBox(tr("字符串"), window);
    input_ = named(new QPlainTextEdit(textGroup), "inputEdit");
    output_ = named(new QPlainTextEdit(textGroup), "outputEdit");
    output_->setReadOnly(true);
    auto* encodeButton = named(new QPushButton(tr("编码"), textGroup), "encodeButton");
    auto* decodeButton = named(new QPushButton(tr("解码"), textGroup), "decodeButton");
    // The two commands read the input box and sit beside it.
    auto* inputSide = new QVBoxLayout;
    inputSide->addStretch(1);
    inputSide->addWidget(encodeButton);
    inputSide->addWidget(decodeButton);
    auto* textLayout = new QGridLayout(textGroup);
    textLayout->addWidget(WithTextBytes(input_), 0, 0);
    textLayout->addLayout(inputSide, 0, 1);
    textLayout->addWidget(output_, 1, 0, 1, 2);
    textLayout->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(fileGroup);
    layout->addWidget(textGroup, 1);
    // The pane area is small: tight margins leave the edits their height.
    for (QLayout* each : {static_cast<QLayout*>(layout), fileGroup->layout(), static_cast<QLayout*>(textLayout)}) {
        each->setContentsMargins(6, 4, 6, 6);
        each->setSpacing(4);
    }
    inputSide->setContentsMargins(0, 0, 0, 0);
    inputSide->setSpacing(4);

    QObject::connect(encodeFile, &QPushButton::clicked, window, [this] { processFile(true); });
    QObject::connect(decodeFile, &QPushButton::clicked, window, [this] { processFile(false); });
    QObject::connect(encodeButton, &QPushButton::clicked, window, [this] { encodeText(); });
    QObject::connect(decodeButton, &QPushButton::clicked, window, [this] { decodeText(); });
    onFileDropped([this](const QString& path) { inputPath_->setText(path); });
}

void CBASE::windowDestroying() {
    inputPath_ = outputPath_ = nullptr;
    input_ = output_ = nullptr;
}

// An empty input leaves the output box as it is, for both string commands.
void CBASE::encodeText() {
    const QByteArray bytes = toMultiLineBytes(input_->toPlainText());
    if (bytes.isEmpty())
        return;
    output_->setPlainText(QString::fromStdString(Base64Encode(view(bytes))));
}

void CBASE::decodeText() {
    const QByteArray text = toNotationMultiLineBytes(input_->toPlainText());
    if (text.isEmpty())
        return;
    const std::string bytes = Base64Decode(view(text));
    // Every decoded byte is shown: a zero byte as the visible symbol for NUL.
    QString shown = fromMultiLineBytes(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    shown.replace(QChar(0), QChar(0x2400));
    output_->setPlainText(shown);
}

void CBASE::processFile(bool encode) {
    // An empty path is not refused here: it cannot be opened and is reported so.
    const QString inputPath = inputPath_->text();
    const QString outputPath = outputPath_->text();
    const std::string input = QFile::encodeName(inputPath).toStdString();
    const std::string output = QFile::encodeName(outputPath).toStdString();
    runJob([this, encode, input, output, inputPath, outputPath](Progress& progress) -> JobFinish {
        const int code =
            encode ? Base64EncodeFile(input, output, &progress) : Base64DecodeFile(input, output, &progress);
        return [this, encode, code, inputPath, outputPath] { reportFile(encode, code, inputPath, outputPath); };
    });
}

void CBASE::reportFile(bool encode, int code, const QString& inputPath, const QString& outputPath) {
    const auto error = [this](const QString& text) {
        services().showMessage(window(), text, caption::Error, MessageKind::Error);
    };
    switch (code) {
    case kBase64Ok:
        services().showMessage(window(), encode ? tr("加密成功!") : tr("解密成功!"), caption::Successful,
                               MessageKind::Information);
        break;
    case kBase64CannotRead:
        error(tr("不能打开文件 %1 !").arg(inputPath));
        break;
    case kBase64CannotWrite:
        error(tr("不能打开文件 %1 !").arg(outputPath));
        break;
    case kBase64SameFile:
        error(tr("输入和输出不能是同一个文件!"));
        break;
    default:
        error(tr("读写文件时出错!"));
        break;
    }
}

} // namespace qh
