#include "text_bytes_view.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QVBoxLayout>

namespace qh {
namespace {

constexpr qsizetype kShownBytes = 32;
constexpr const char* kWatcherProperty = "qhTextBytes";

QString pageName(CodePage page) {
    const std::string_view name = CodePageName(page);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// Follows one box: its tooltip and its warning line.
class TextBytesWatcher : public QObject {
public:
    TextBytesWatcher(QWidget* box, CodePageWarning* warning, TextBytesReader reader)
        : QObject(box), box_(box), warning_(warning), reader_(std::move(reader)) {
        QObject::connect(&codePageNotices(), &CodePageNotices::changed, this, [this] { refresh(); });
    }

    void refresh() {
        const std::optional<TextBytes> bytes = reader_();
        box_->setToolTip(bytes ? TextBytesSummary(bytes->bytes, currentCodePage()) : QString());
        warning_->showFor(bytes ? bytes->unrepresentable : std::nullopt);
    }

private:
    QWidget* box_;
    QPointer<CodePageWarning> warning_;
    TextBytesReader reader_;
};

QWidget* wrap(QWidget* box, TextBytesReader reader) {
    auto* holder = new QWidget(box->parentWidget());
    holder->setObjectName(box->objectName() + QStringLiteral("Holder"));
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(box, 1);
    auto* warning = new CodePageWarning(holder);
    warning->setObjectName(box->objectName() + QStringLiteral("Warning"));
    layout->addWidget(warning);
    auto* watcher = new TextBytesWatcher(box, warning, std::move(reader));
    box->setProperty(kWatcherProperty, QVariant::fromValue<QObject*>(watcher));
    watcher->refresh();
    return holder;
}

} // namespace

QWidget* WithTextBytes(QPlainTextEdit* box, TextBytesReader reader) {
    if (!reader)
        reader = [box]() -> std::optional<TextBytes> { return encodeText(box->toPlainText(), true); };
    QWidget* holder = wrap(box, std::move(reader));
    QObject::connect(box, &QPlainTextEdit::textChanged, holder, [box] { RefreshTextBytes(box); });
    return holder;
}

QWidget* WithTextBytes(QLineEdit* box, TextBytesReader reader) {
    if (!reader)
        reader = [box]() -> std::optional<TextBytes> { return encodeText(box->text(), false); };
    QWidget* holder = wrap(box, std::move(reader));
    QObject::connect(box, &QLineEdit::textChanged, holder, [box] { RefreshTextBytes(box); });
    return holder;
}

void RefreshTextBytes(QWidget* box) {
    if (auto* watcher = static_cast<TextBytesWatcher*>(box->property(kWatcherProperty).value<QObject*>()))
        watcher->refresh();
}

QString TextBytesSummary(const QByteArray& bytes, CodePage page) {
    QString summary =
        QCoreApplication::translate("qh::TextBytesView", "%1 字节 (%2)").arg(bytes.size()).arg(pageName(page));
    if (bytes.isEmpty())
        return summary;
    summary += QStringLiteral(": ") + QString::fromLatin1(bytes.left(kShownBytes).toHex(' ').toUpper());
    if (bytes.size() > kShownBytes)
        summary += QStringLiteral(" …");
    return summary;
}

CodePageWarning::CodePageWarning(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    hide();
}

void CodePageWarning::showFor(std::optional<char32_t> unrepresentable, CodePage page) {
    if (!unrepresentable) {
        hide();
        return;
    }
    const char32_t c = *unrepresentable;
    const QString shown = c < 0x20 || (c >= 0xD800 && c <= 0xDFFF) ? QString() : QString::fromUcs4(&c, 1);
    const QString code = QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QChar(u'0')).toUpper();
    setText(tr("“%1” (%2) 不能用 %3 表示, 当作 ? 处理").arg(shown, code, pageName(page)));
    show();
}

} // namespace qh
