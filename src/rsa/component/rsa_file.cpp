#include "rsa_file.h"

#include "rsa_component.h"

#include <openssl/crypto.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace qh::rsa {

namespace {

constexpr unsigned char kMagic[5] = {'Q', 'H', 'R', 'S', 'A'};
constexpr unsigned char kVersion = 1;
constexpr std::size_t kHeaderBytes = 10;
constexpr std::size_t kBufferedBlocks = 256;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A regular input file read through a buffer of a few hundred blocks. The
// buffer may hold plaintext, so it is wiped after use.
class Input {
public:
    ~Input() {
        file_.reset();
        OPENSSL_cleanse(buffer_.data(), buffer_.size());
    }

    int open(const char* path, std::size_t bufferBytes) {
        file_.reset(std::fopen(path, "rb"));
        if (!file_)
            return QH_RSA_E_OPEN_INPUT;
        // Encryption needs the length up front, so pipes and devices are refused.
        if (fstat(fileno(file_.get()), &info_) != 0 || !S_ISREG(info_.st_mode))
            return QH_RSA_E_OPEN_INPUT;
        buffer_.resize(bufferBytes);
        std::setvbuf(file_.get(), buffer_.data(), _IOFBF, buffer_.size());
        return QH_RSA_OK;
    }

    // Reads up to `len` bytes; fewer only at the end of the file or on an error.
    std::size_t read(unsigned char* out, std::size_t len) { return std::fread(out, 1, len, file_.get()); }
    bool failed() const { return std::ferror(file_.get()) != 0; }
    bool atEnd() { return std::fgetc(file_.get()) == EOF && !failed(); }
    std::uint64_t size() const { return static_cast<std::uint64_t>(info_.st_size); }

    // True when `path` names this file (by device and inode, so links and other
    // spellings of the same file count).
    bool isSameFile(const char* path) const {
        struct stat other {};
        return ::stat(path, &other) == 0 && other.st_dev == info_.st_dev && other.st_ino == info_.st_ino;
    }

private:
    std::vector<char> buffer_;
    File file_;
    struct stat info_ {};
};

// A temporary file in the output's folder that replaces the output on
// commit() and disappears otherwise.
class TempOutput {
public:
    ~TempOutput() {
        if (file_) {
            file_.reset();
            ::unlink(tempPath_.c_str());
        }
        OPENSSL_cleanse(buffer_.data(), buffer_.size());
    }

    int open(const char* outputPath, std::size_t bufferBytes) {
        target_ = outputPath;
        if (target_.empty())
            return QH_RSA_E_OPEN_OUTPUT;
        const std::size_t slash = target_.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target_.substr(0, slash);
        tempPath_ = folder + "/.qhrsa-XXXXXX";
        const int fd = ::mkstemp(tempPath_.data());
        if (fd < 0)
            return QH_RSA_E_OPEN_OUTPUT;
        file_.reset(::fdopen(fd, "wb"));
        if (!file_) {
            ::close(fd);
            ::unlink(tempPath_.c_str());
            return QH_RSA_E_OPEN_OUTPUT;
        }
        buffer_.resize(bufferBytes);
        std::setvbuf(file_.get(), buffer_.data(), _IOFBF, buffer_.size());
        return QH_RSA_OK;
    }

    bool write(const unsigned char* data, std::size_t len) {
        return len == 0 || std::fwrite(data, 1, len, file_.get()) == len;
    }

    int commit() {
        std::FILE* file = file_.release();
        bool ok = std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
        ok = std::fclose(file) == 0 && ok;
        if (ok && ::rename(tempPath_.c_str(), target_.c_str()) == 0)
            return QH_RSA_OK;
        ::unlink(tempPath_.c_str());
        return QH_RSA_E_OPEN_OUTPUT;
    }

private:
    std::vector<char> buffer_;
    File file_;
    std::string target_;
    std::string tempPath_;
};

int OpenBoth(const char* inputPath, const char* outputPath, std::size_t k, Input& in) {
    if (inputPath == nullptr || outputPath == nullptr)
        return QH_RSA_E_ARGUMENT;
    if (const int status = in.open(inputPath, kBufferedBlocks * k); status != QH_RSA_OK)
        return status;
    return in.isSameFile(outputPath) ? QH_RSA_E_SAME_FILE : QH_RSA_OK;
}

} // namespace

int EncryptFileStream(BlockCipher& cipher, const char* inputPath, const char* outputPath) {
    if (!cipher.exponentIsOdd())
        return QH_RSA_E_ARGUMENT;
    const std::size_t k = cipher.blockBytes();
    Input in;
    if (const int status = OpenBoth(inputPath, outputPath, k, in); status != QH_RSA_OK)
        return status;
    TempOutput out;
    if (const int status = out.open(outputPath, kBufferedBlocks * k); status != QH_RSA_OK)
        return status;

    unsigned char header[kHeaderBytes];
    std::memcpy(header, kMagic, sizeof kMagic);
    header[5] = kVersion;
    for (int i = 0; i < 4; ++i) // k < 2^28: ParseHex refuses longer numbers
        header[6 + i] = static_cast<unsigned char>(k >> (8 * (3 - i)));
    if (!out.write(header, kHeaderBytes))
        return QH_RSA_E_OPEN_OUTPUT;

    std::vector<unsigned char> data(k);
    std::vector<unsigned char> block(k);
    StreamEncryptor encryptor(cipher, in.size());
    int status = QH_RSA_OK;
    while (status == QH_RSA_OK && !encryptor.done()) {
        const std::size_t take = encryptor.nextDataBytes();
        if (in.read(data.data(), take) != take) {
            status = QH_RSA_E_OPEN_INPUT; // read error, or the file shrank while read
            break;
        }
        encryptor.sealNext(data.data(), block.data());
        if (!out.write(block.data(), k))
            status = QH_RSA_E_OPEN_OUTPUT;
    }
    OPENSSL_cleanse(data.data(), data.size());
    if (status == QH_RSA_OK && !in.atEnd())
        status = QH_RSA_E_OPEN_INPUT; // the file grew while read: its length is already sealed
    return status == QH_RSA_OK ? out.commit() : status;
}

int DecryptFileStream(BlockCipher& cipher, const char* inputPath, const char* outputPath) {
    const std::size_t k = cipher.blockBytes();
    Input in;
    if (const int status = OpenBoth(inputPath, outputPath, k, in); status != QH_RSA_OK)
        return status;

    unsigned char header[kHeaderBytes];
    if (in.read(header, kHeaderBytes) != kHeaderBytes)
        return in.failed() ? QH_RSA_E_OPEN_INPUT : QH_RSA_E_FORMAT;
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0 || header[5] != kVersion)
        return QH_RSA_E_FORMAT;
    std::uint64_t fileK = 0;
    for (int i = 0; i < 4; ++i)
        fileK = (fileK << 8) | header[6 + i];
    if (fileK != k)
        return QH_RSA_E_WRONG_KEY;

    TempOutput out;
    if (const int status = out.open(outputPath, kBufferedBlocks * k); status != QH_RSA_OK)
        return status;
    std::vector<unsigned char> block(k);
    StreamDecryptor decryptor(cipher);
    for (;;) {
        const std::size_t got = in.read(block.data(), k);
        if (in.failed())
            return QH_RSA_E_OPEN_INPUT;
        if (got == 0 && decryptor.done())
            break;
        if (got != k)
            return QH_RSA_E_FORMAT; // truncated, or blocks missing
        const unsigned char* data = nullptr;
        std::size_t dataLen = 0;
        if (const int status = decryptor.openNext(block.data(), data, dataLen); status != QH_RSA_OK)
            return status;
        if (!out.write(data, dataLen))
            return QH_RSA_E_OPEN_OUTPUT;
    }
    return out.commit();
}

} // namespace qh::rsa
