#include "hash_input.h"

#include "byte_source.h"
#include "byte_string.h"
#include "pane_services.h"
#include "text_bytes_view.h"
#include "text_codec.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string_view>

namespace qh {
namespace {

// The context of the input group's texts in the translations.
class InputTexts {
    Q_DECLARE_TR_FUNCTIONS(qh::HashInput)
};

std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::unique_ptr<ByteSource> openFile(PaneServices& services, QWidget* pane, const QString& path,
                                     const std::function<void()>& clearOutput) {
    if (path.isEmpty())
        return nullptr;
    // The path goes to the file system in its own encoding, whole: no length limit.
    auto source = std::make_unique<FileSource>(QFile::encodeName(path).toStdString());
    if (!source->IsOpen()) {
        if (clearOutput)
            clearOutput();
        services.showMessage(pane, CannotOpenFileMessage(path), caption::Error, MessageKind::Error);
        return nullptr;
    }
    // An empty file is digested too: its digest is well defined.
    return source;
}

std::unique_ptr<ByteSource> openByteString(PaneServices& services, QWidget* pane, const QByteArray& text) {
    if (text.isEmpty())
        return nullptr;
    // Line breaks (CR LF here) and the bytes of double-byte characters are
    // outside the allowed set, so they are refused too.
    if (!IsByteStringText(view(text))) {
        services.showMessage(pane, InputTexts::tr("字节串格式错误!"), caption::Application, MessageKind::Plain);
        return nullptr;
    }
    return std::make_unique<MemorySource>(ParseByteString(view(text)));
}

} // namespace

QGroupBox* BuildHashInputGroup(PaneServices& services, QWidget* pane, HashInputControls& controls) {
    auto* group = new QGroupBox(InputTexts::tr("输入"), pane);
    controls.kind = new QComboBox(group);
    controls.kind->setObjectName(QStringLiteral("inputKindCombo"));
    controls.kind->addItems({InputTexts::tr("文件"), InputTexts::tr("字符串"), InputTexts::tr("字节串")});
    controls.kind->setCurrentIndex(static_cast<int>(HashInputKind::File));
    controls.path = new QLineEdit(group);
    controls.path->setObjectName(QStringLiteral("pathEdit"));
    controls.browse = new QPushButton(InputTexts::tr("浏览"), group);
    controls.browse->setObjectName(QStringLiteral("browseButton"));
    controls.text = new QPlainTextEdit(group);
    controls.text->setObjectName(QStringLiteral("inputEdit"));

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(controls.kind);
    fileRow->addWidget(controls.path, 1);
    fileRow->addWidget(controls.browse);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addLayout(fileRow);
    layout->addWidget(WithTextBytes(controls.text,
                                    [kind = controls.kind, text = controls.text]() -> std::optional<TextBytes> {
                                        if (kind->currentIndex() == static_cast<int>(HashInputKind::File) ||
                                            kind->currentIndex() == static_cast<int>(HashInputKind::ByteString))
                                            return std::nullopt;
                                        return encodeText(text->toPlainText(), true);
                                    }),
                      1);

    ApplyHashInputKind(controls);

    // The lambdas copy the pointers: the controls die with the window, and the
    // connections with them.
    const HashInputControls copy = controls;
    QObject::connect(controls.kind, &QComboBox::currentIndexChanged, group, [copy] { ApplyHashInputKind(copy); });
    QObject::connect(controls.browse, &QPushButton::clicked, group,
                     [&services, pane, path = controls.path] { BrowseForInput(services, pane, path); });
    return group;
}

HashInputKind SelectedHashInputKind(const HashInputControls& controls) {
    switch (controls.kind->currentIndex()) {
    case 0:
        return HashInputKind::File;
    case 2:
        return HashInputKind::ByteString;
    default:
        return HashInputKind::Text;
    }
}

void TakeDroppedFile(const HashInputControls& controls, const QString& path) {
    controls.kind->setCurrentIndex(static_cast<int>(HashInputKind::File));
    controls.path->setText(path);
}

void ApplyHashInputKind(const HashInputControls& controls) {
    const bool file = SelectedHashInputKind(controls) == HashInputKind::File;
    controls.path->setEnabled(file);
    controls.browse->setEnabled(file);
    controls.text->setEnabled(!file);
    RefreshTextBytes(controls.text);
}

std::unique_ptr<ByteSource> OpenHashInput(PaneServices& services, QWidget* pane, const HashInputControls& controls,
                                          const std::function<void()>& clearOutput) {
    switch (SelectedHashInputKind(controls)) {
    case HashInputKind::File:
        return openFile(services, pane, controls.path->text(), clearOutput);
    case HashInputKind::ByteString:
        return openByteString(services, pane, toNotationMultiLineBytes(controls.text->toPlainText()));
    case HashInputKind::Text:
        break;
    }
    const QByteArray text = toMultiLineBytes(controls.text->toPlainText());
    if (text.isEmpty())
        return nullptr;
    return std::make_unique<MemorySource>(view(text));
}

bool ReportUnreadHashInput(PaneServices& services, QWidget* pane, const HashInputControls& controls,
                           const ByteSource& source, const std::function<void()>& clearOutput) {
    if (!source.Failed())
        return false;
    if (clearOutput)
        clearOutput();
    services.showMessage(pane, CannotOpenFileMessage(controls.path->text()), caption::Error, MessageKind::Error);
    return true;
}

QString CannotOpenFileMessage(const QString& path) {
    return InputTexts::tr("不能打开文件 %1").arg(path);
}

} // namespace qh
