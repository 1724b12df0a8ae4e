#include "text_codec.h"

#include <atomic>
#include <string_view>

namespace qh {
namespace {

std::atomic<CodePage> chosenPage{kDefaultCodePage};

std::u16string_view unitsOf(const QString& text) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}

std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QByteArray toQt(const std::string& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Every lone LF becomes CR LF. In a page that keeps ASCII as single bytes this
// can work on the bytes: no character other than LF has a 0x0A byte.
template <typename Text, typename Unit> Text crLfLines(const Text& text, Unit lf, Unit cr) {
    Text out;
    out.reserve(text.size() + text.count(lf));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == lf && (i == 0 || text[i - 1] != cr))
            out.append(cr);
        out.append(text[i]);
    }
    return out;
}

} // namespace

CodePage currentCodePage() {
    return chosenPage.load();
}

void setCurrentCodePage(CodePage page) {
    const CodePage previous = chosenPage.exchange(page);
    if (previous != page)
        Q_EMIT codePageNotices().changed(previous);
}

CodePageNotices& codePageNotices() {
    static CodePageNotices notices;
    return notices;
}

QByteArray toTextBytes(const QString& text, CodePage page) {
    return toQt(EncodeText(unitsOf(text), page).bytes);
}

QString fromTextBytes(const QByteArray& bytes, CodePage page) {
    const std::u16string text = DecodeText(view(bytes), page);
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

TextBytes encodeText(const QString& text, bool multiLine, CodePage page) {
    const bool byLines = multiLine && !IsAsciiCompatible(page);
    EncodedText encoded = EncodeText(unitsOf(byLines ? withCrLf(text) : text), page);
    QByteArray bytes = toQt(encoded.bytes);
    if (multiLine && !byLines)
        bytes = crLfLines(bytes, '\n', '\r');
    return {bytes, encoded.unrepresentable};
}

QByteArray toMultiLineBytes(const QString& text, CodePage page) {
    return encodeText(text, true, page).bytes;
}

QString fromMultiLineBytes(const QByteArray& bytes, CodePage page) {
    if (!IsAsciiCompatible(page))
        return fromTextBytes(bytes, page).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QByteArray lf = bytes;
    lf.replace("\r\n", "\n");
    return fromTextBytes(lf, page);
}

QByteArray toNotationBytes(const QString& text) {
    return toTextBytes(text, NotationCodePage(currentCodePage()));
}

QByteArray toNotationMultiLineBytes(const QString& text) {
    return toMultiLineBytes(text, NotationCodePage(currentCodePage()));
}

QString fromNotationBytes(const QByteArray& bytes) {
    return fromTextBytes(bytes, NotationCodePage(currentCodePage()));
}

QString fromNotationMultiLineBytes(const QByteArray& bytes) {
    return fromMultiLineBytes(bytes, NotationCodePage(currentCodePage()));
}

QByteArray notationToTextBytes(const QByteArray& bytes) {
    const CodePage page = currentCodePage();
    return IsAsciiCompatible(page) ? bytes : toTextBytes(fromTextBytes(bytes, NotationCodePage(page)), page);
}

QByteArray textToNotationBytes(const QByteArray& bytes) {
    const CodePage page = currentCodePage();
    return IsAsciiCompatible(page) ? bytes : toTextBytes(fromTextBytes(bytes, page), NotationCodePage(page));
}

QString withCrLf(const QString& text) {
    return crLfLines(text, QChar(u'\n'), QChar(u'\r'));
}

std::u32string toCodePoints(const QString& text) {
    const QList<uint> units = text.toUcs4();
    return std::u32string(units.begin(), units.end());
}

QString fromCodePoints(std::u32string_view codePoints) {
    return QString::fromUcs4(codePoints.data(), static_cast<qsizetype>(codePoints.size()));
}

QByteArray upToFirstNul(const QByteArray& bytes, CodePage page) {
    if (IsAsciiCompatible(page)) {
        const qsizetype nul = bytes.indexOf('\0');
        return nul < 0 ? bytes : bytes.left(nul);
    }
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        if (bytes[i] == '\0' && bytes[i + 1] == '\0')
            return bytes.left(i);
    return bytes;
}

} // namespace qh
