#include "rsa_file.h"

#include "rsa_component.h"

#include "input_file.h"
#include "output_file.h"

#include <openssl/crypto.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace qh::rsa {

namespace {

constexpr unsigned char kMagic[5] = {'Q', 'H', 'R', 'S', 'A'};
constexpr std::size_t kHeaderBytes = 10;
constexpr std::size_t kBufferedBlocks = 256;

// A regular input file read through a buffer of a few hundred blocks. The
// buffer may hold plaintext, so it is wiped after use.
class Input {
public:
    explicit Input(std::size_t bufferBytes) : buffer_(bufferBytes) {}
    ~Input() { OPENSSL_cleanse(buffer_.data(), buffer_.size()); }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    int open(const char* path) {
        // Encryption needs the length up front, so pipes and devices are
        // refused, and before they are opened: opening a FIFO waits for a writer.
        struct stat info {};
        if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode))
            return QH_RSA_E_OPEN_INPUT;
        file_.emplace(path);
        return file_->IsOpen() && file_->IsRegular() ? QH_RSA_OK : QH_RSA_E_OPEN_INPUT;
    }

    // Reads up to `len` bytes, fewer only at the end of the file; -1 on a read error.
    long long read(unsigned char* out, std::size_t len) {
        std::size_t done = 0;
        while (done < len) {
            if (begin_ == end_) {
                const long long got = file_->Read(buffer_.data(), buffer_.size());
                if (got < 0)
                    return -1;
                if (got == 0)
                    break;
                begin_ = 0;
                end_ = static_cast<std::size_t>(got);
            }
            const std::size_t take = std::min(len - done, end_ - begin_);
            std::memcpy(out + done, buffer_.data() + begin_, take);
            begin_ += take;
            done += take;
        }
        return static_cast<long long>(done);
    }
    // Exactly `len` bytes, or false (a read error, or the end of the file came first).
    bool readAll(unsigned char* out, std::size_t len) { return read(out, len) == static_cast<long long>(len); }
    bool atEnd() {
        unsigned char byte = 0;
        return read(&byte, 1) == 0;
    }
    std::uint64_t size() const { return file_->Size(); }
    bool isSameFile(const char* path) const { return file_->IsSameFileAs(path); }

private:
    std::optional<InputFile> file_;
    std::vector<unsigned char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

// The output file, written through a buffer of a few hundred blocks. It
// replaces its target only on commit(); the buffer may hold plaintext, so it
// is wiped after use.
class Output {
public:
    explicit Output(std::size_t bufferBytes) : buffer_(bufferBytes) {}
    ~Output() { OPENSSL_cleanse(buffer_.data(), buffer_.size()); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    int open(const char* path) { return file_.Open(path) ? QH_RSA_OK : QH_RSA_E_OPEN_OUTPUT; }

    bool write(const unsigned char* data, std::size_t len) {
        if (len > buffer_.size() - used_ && !flush())
            return false;
        std::memcpy(buffer_.data() + used_, data, len); // len is at most one block
        used_ += len;
        return true;
    }

    int commit() { return flush() && file_.Commit() ? QH_RSA_OK : QH_RSA_E_OPEN_OUTPUT; }

private:
    bool flush() {
        const bool ok = file_.Write(buffer_.data(), used_);
        used_ = 0;
        return ok;
    }

    OutputFile file_;
    std::vector<unsigned char> buffer_;
    std::size_t used_ = 0;
};

int OpenBoth(const char* inputPath, const char* outputPath, Input& in) {
    if (inputPath == nullptr || outputPath == nullptr)
        return QH_RSA_E_ARGUMENT;
    if (const int status = in.open(inputPath); status != QH_RSA_OK)
        return status;
    return in.isSameFile(outputPath) ? QH_RSA_E_SAME_FILE : QH_RSA_OK;
}

} // namespace

int EncryptFileStream(BlockCipher& cipher, const char* inputPath, const char* outputPath, ProgressMeter& meter) {
    const std::size_t k = cipher.blockBytes();
    Input in(kBufferedBlocks * k);
    if (const int status = OpenBoth(inputPath, outputPath, in); status != QH_RSA_OK)
        return status;
    // The input first, so that every report, those of the key's prime test
    // included, carries the whole.
    meter.setTotal(in.size());
    if (const int status = cipher.checkForEncryption(meter); status != QH_RSA_OK)
        return status;
    if (!StreamEncryptor::Carries(k, in.size()))
        return QH_RSA_E_KEY_TOO_SMALL;
    Output out(kBufferedBlocks * k);
    if (const int status = out.open(outputPath); status != QH_RSA_OK)
        return status;

    StreamEncryptor encryptor(cipher, in.size());
    unsigned char header[kHeaderBytes];
    std::memcpy(header, kMagic, sizeof kMagic);
    header[5] = static_cast<unsigned char>(encryptor.layout());
    for (int i = 0; i < 4; ++i) // k < 2^28: ParseHex refuses longer numbers
        header[6 + i] = static_cast<unsigned char>(k >> (8 * (3 - i)));
    if (!out.write(header, kHeaderBytes))
        return QH_RSA_E_OPEN_OUTPUT;

    meter.setInterval(cipher.blocksPerReport());
    if (!meter.report())
        return QH_RSA_E_CANCELLED;
    std::vector<unsigned char> data(k);
    std::vector<unsigned char> block(k);
    int status = QH_RSA_OK;
    while (status == QH_RSA_OK && !encryptor.done()) {
        const std::size_t take = encryptor.nextDataBytes();
        if (!in.readAll(data.data(), take)) {
            status = QH_RSA_E_OPEN_INPUT; // read error, or the file shrank while read
            break;
        }
        encryptor.sealNext(data.data(), block.data());
        if (!out.write(block.data(), k))
            status = QH_RSA_E_OPEN_OUTPUT;
        else if (!meter.advance(take))
            status = QH_RSA_E_CANCELLED;
    }
    OPENSSL_cleanse(data.data(), data.size());
    if (status == QH_RSA_OK && !in.atEnd())
        status = QH_RSA_E_OPEN_INPUT; // the file grew while read: its length is already sealed
    if (status == QH_RSA_OK && !meter.finish())
        status = QH_RSA_E_CANCELLED;
    return status == QH_RSA_OK ? out.commit() : status;
}

int DecryptFileStream(BlockCipher& cipher, const char* inputPath, const char* outputPath, ProgressMeter& meter) {
    const std::size_t k = cipher.blockBytes();
    Input in(kBufferedBlocks * k);
    if (const int status = OpenBoth(inputPath, outputPath, in); status != QH_RSA_OK)
        return status;

    unsigned char header[kHeaderBytes];
    const long long gotHeader = in.read(header, kHeaderBytes);
    if (gotHeader != static_cast<long long>(kHeaderBytes))
        return gotHeader < 0 ? QH_RSA_E_OPEN_INPUT : QH_RSA_E_FORMAT;
    const unsigned char version = header[5];
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0 ||
        (version != static_cast<unsigned char>(Layout::One) && version != static_cast<unsigned char>(Layout::Two)))
        return QH_RSA_E_FORMAT;
    std::uint64_t fileK = 0;
    for (int i = 0; i < 4; ++i)
        fileK = (fileK << 8) | header[6 + i];
    if (fileK != k)
        return QH_RSA_E_WRONG_KEY;

    Output out(kBufferedBlocks * k);
    if (const int status = out.open(outputPath); status != QH_RSA_OK)
        return status;
    meter.setTotal(in.size());
    meter.setInterval(cipher.blocksPerReport());
    meter.add(kHeaderBytes);
    if (!meter.report())
        return QH_RSA_E_CANCELLED;
    std::vector<unsigned char> block(k);
    StreamDecryptor decryptor(cipher);
    for (;;) {
        const long long got = in.read(block.data(), k);
        if (got < 0)
            return QH_RSA_E_OPEN_INPUT;
        if (got == 0 && decryptor.done())
            break;
        if (got != static_cast<long long>(k))
            return QH_RSA_E_FORMAT; // truncated, or blocks missing
        const unsigned char* data = nullptr;
        std::size_t dataLen = 0;
        if (const int status = decryptor.openNext(block.data(), data, dataLen); status != QH_RSA_OK)
            return status;
        if (decryptor.layout() != static_cast<Layout>(version))
            return QH_RSA_E_FORMAT; // the header's version names the other layout
        if (!out.write(data, dataLen))
            return QH_RSA_E_OPEN_OUTPUT;
        if (!meter.advance(k))
            return QH_RSA_E_CANCELLED;
    }
    return meter.finish() ? out.commit() : QH_RSA_E_CANCELLED;
}

} // namespace qh::rsa
