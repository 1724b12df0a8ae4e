#include "string_codec.h"

#include "rsa_component.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace qh::rsa {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads the digits of a ciphertext text, skipping blanks and line breaks.
class HexReader {
public:
    explicit HexReader(const char* text) : p_(text) {}

    // Counts the digits; false when a character is neither a digit nor skipped.
    static bool CountDigits(const char* text, std::size_t& count) {
        count = 0;
        for (; *text != '\0'; ++text) {
            if (HexValue(*text) >= 0)
                ++count;
            else if (!IsSkipped(*text))
                return false;
        }
        return true;
    }

    // Fills `out` with `len` bytes; the digits are known to be there.
    void read(unsigned char* out, std::size_t len) {
        for (std::size_t i = 0; i < len; ++i)
            out[i] = static_cast<unsigned char>((nextDigit() << 4) | nextDigit());
    }

private:
    int nextDigit() {
        while (IsSkipped(*p_))
            ++p_;
        return HexValue(*p_++);
    }

    const char* p_;
};

} // namespace

int EncryptText(BlockCipher& cipher, const unsigned char* text, std::size_t len, std::size_t outSize, std::string& out,
                std::size_t& needed, ProgressMeter& meter) {
    static const char kDigits[] = "0123456789abcdef";
    const std::size_t k = cipher.blockBytes();
    if (!StreamEncryptor::Carries(k, len))
        return QH_RSA_E_KEY_TOO_SMALL;
    const std::uint64_t blocks = BlockCountOf(LayoutFor(k), k, len);
    if (blocks > (std::numeric_limits<std::size_t>::max() - 1) / (2 * k))
        return QH_RSA_E_ARGUMENT; // the text's length would not fit in size_t
    needed = static_cast<std::size_t>(blocks) * 2 * k;
    if (outSize <= needed)
        return QH_RSA_E_BUFFER;
    // After the buffer size, which is answered before any work: the key's
    // prime test costs an exponentiation.
    meter.setTotal(len);
    if (const int status = cipher.checkForEncryption(meter); status != QH_RSA_OK)
        return status;
    if (!meter.report())
        return QH_RSA_E_CANCELLED;

    out.clear();
    out.reserve(needed);
    std::vector<unsigned char> block(k);
    StreamEncryptor encryptor(cipher, len);
    meter.setInterval(cipher.blocksPerReport());
    std::size_t offset = 0;
    while (!encryptor.done()) {
        const std::size_t take = encryptor.nextDataBytes();
        encryptor.sealNext(text + offset, block.data());
        offset += take;
        for (unsigned char byte : block) {
            out.push_back(kDigits[byte >> 4]);
            out.push_back(kDigits[byte & 0x0f]);
        }
        if (!meter.advance(take))
            return QH_RSA_E_CANCELLED;
    }
    return meter.finish() ? QH_RSA_OK : QH_RSA_E_CANCELLED;
}

int DecryptText(BlockCipher& cipher, const char* ciphertext, std::size_t outSize, std::string& out, std::size_t& needed,
                ProgressMeter& meter) {
    if (ciphertext == nullptr)
        return QH_RSA_E_ARGUMENT;
    const std::size_t k = cipher.blockBytes();
    std::size_t digits = 0;
    if (!HexReader::CountDigits(ciphertext, digits) || digits == 0 || digits % (2 * k) != 0)
        return QH_RSA_E_FORMAT;
    const std::uint64_t blocks = digits / (2 * k);

    HexReader reader(ciphertext);
    std::vector<unsigned char> block(k);
    StreamDecryptor decryptor(cipher);
    const unsigned char* data = nullptr;
    std::size_t dataLen = 0;
    reader.read(block.data(), k);
    if (const int status = decryptor.openNext(block.data(), data, dataLen); status != QH_RSA_OK)
        return status;
    if (decryptor.blockCount() != blocks)
        return QH_RSA_E_FORMAT; // blocks missing or left over
    // The length is now bounded by the ciphertext's own size.
    needed = static_cast<std::size_t>(decryptor.total());
    if (outSize <= needed)
        return QH_RSA_E_BUFFER;

    meter.setTotal(blocks * k);
    meter.setInterval(cipher.blocksPerReport());
    meter.add(k); // the first block is done
    if (!meter.report())
        return QH_RSA_E_CANCELLED;

    out.clear();
    out.reserve(needed);
    out.append(reinterpret_cast<const char*>(data), dataLen);
    while (!decryptor.done()) {
        reader.read(block.data(), k);
        if (const int status = decryptor.openNext(block.data(), data, dataLen); status != QH_RSA_OK)
            return status;
        out.append(reinterpret_cast<const char*>(data), dataLen);
        if (!meter.advance(k))
            return QH_RSA_E_CANCELLED;
    }
    return meter.finish() ? QH_RSA_OK : QH_RSA_E_CANCELLED;
}

} // namespace qh::rsa
