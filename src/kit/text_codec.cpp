#include "text_codec.h"

#include <cerrno>
#include <iconv.h>
#include <mutex>

namespace qh {
namespace {

// One iconv descriptor per direction, opened on first use. The GUI thread is the
// only user, but the mutex keeps the CLI-free helpers safe in tests too.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of [in, in+inLeft) as possible, appending to out. Returns
    // the number of input bytes consumed; stops at the first unconvertible or
    // incomplete sequence.
    size_t convert(const char* in, size_t inLeft, QByteArray& out) {
        std::lock_guard lock(mutex_);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        const size_t start = inLeft;
        char buffer[4096];
        char* src = const_cast<char*>(in);
        while (inLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t rc = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<qsizetype>(dst - buffer));
            if (rc == static_cast<size_t>(-1) && errno != E2BIG)
                break;
        }
        return start - inLeft;
    }

private:
    iconv_t cd_;
    std::mutex mutex_;
};

Converter& encoder() {
    static Converter c("CP936", "UTF-16LE");
    return c;
}

Converter& decoder() {
    static Converter c("UTF-16LE", "CP936");
    return c;
}

QString utf16FromBytes(const QByteArray& utf16) {
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

} // namespace

QByteArray toTextBytes(const QString& text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    const char* data = reinterpret_cast<const char*>(text.utf16());
    size_t left = static_cast<size_t>(text.size()) * 2;
    Converter& c = encoder();
    while (left > 0) {
        size_t used = c.valid() ? c.convert(data, left, out) : 0;
        data += used;
        left -= used;
        if (left == 0)
            break;
        // An unconvertible character: one '?' for the whole code point.
        const char16_t unit =
            static_cast<char16_t>(static_cast<unsigned char>(data[0]) | (static_cast<unsigned char>(data[1]) << 8));
        size_t skip = 2;
        if (QChar::isHighSurrogate(unit) && left >= 4) {
            const char16_t next =
                static_cast<char16_t>(static_cast<unsigned char>(data[2]) | (static_cast<unsigned char>(data[3]) << 8));
            if (QChar::isLowSurrogate(next))
                skip = 4;
        }
        out.append('?');
        data += skip;
        left -= skip;
    }
    return out;
}

QString fromTextBytes(const QByteArray& bytes) {
    QByteArray utf16;
    utf16.reserve(bytes.size() * 2);
    const char* data = bytes.constData();
    size_t left = static_cast<size_t>(bytes.size());
    Converter& c = decoder();
    while (left > 0) {
        size_t used = c.valid() ? c.convert(data, left, utf16) : 0;
        data += used;
        left -= used;
        if (left == 0)
            break;
        // A byte that starts no valid character: show it as U+FFFD and go on
        // with the next byte, which may start a valid character.
        utf16.append("\xFD\xFF", 2);
        ++data;
        --left;
    }
    return utf16FromBytes(utf16);
}

QByteArray toMultiLineBytes(const QString& text) {
    QByteArray bytes = toTextBytes(text);
    QByteArray out;
    out.reserve(bytes.size() + bytes.count('\n'));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char ch = bytes[i];
        if (ch == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            out.append('\r');
        out.append(ch);
    }
    return out;
}

QString fromMultiLineBytes(const QByteArray& bytes) {
    QByteArray lf = bytes;
    lf.replace("\r\n", "\n");
    return fromTextBytes(lf);
}

} // namespace qh
