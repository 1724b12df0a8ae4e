#include "rsa_component_impl.h"

#include "block_codec.h"
#include "number_ops.h"
#include "rsa_file.h"
#include "string_codec.h"

#include <openssl/crypto.h>
#include <openssl/err.h>

#include <cstring>
#include <new>
#include <string>
#include <type_traits>

static_assert(std::is_same_v<decltype(&QhRsaCreateInstance), QhRsaCreateInstanceFn>);

namespace qh::rsa {

namespace {

// Runs a method body: no exception crosses the boundary, and the error queue
// of libcrypto is left clean for the caller.
template <typename Body> int Guard(Body&& body) noexcept {
    int status = QH_RSA_E_INTERNAL;
    try {
        status = body();
    } catch (...) {
        status = QH_RSA_E_INTERNAL;
    }
    if (status != QH_RSA_OK)
        ERR_clear_error();
    return status;
}

// A null buffer is allowed only with size 0 (a query for the length).
bool BufferValid(const void* out, std::size_t outSize) {
    return out != nullptr || outSize == 0;
}

// Copies a result and its NUL into the caller's buffer, or reports the length needed.
int WriteOut(const std::string& value, void* out, std::size_t outSize, std::size_t* outLen) {
    if (outLen != nullptr)
        *outLen = value.size();
    if (outSize <= value.size())
        return QH_RSA_E_BUFFER;
    std::memcpy(out, value.data(), value.size());
    static_cast<char*>(out)[value.size()] = '\0';
    return QH_RSA_OK;
}

// The body of the methods that produce a number.
template <typename Op> int NumberMethod(char* out, std::size_t outSize, std::size_t* outLen, Op&& op) {
    return Guard([&] {
        if (!BufferValid(out, outSize))
            return QH_RSA_E_ARGUMENT;
        std::string value;
        if (const int status = op(value); status != QH_RSA_OK)
            return status;
        return WriteOut(value, out, outSize, outLen);
    });
}

template <typename Op> int YesNoMethod(int* yes, Op&& op) {
    return Guard([&] {
        if (yes == nullptr)
            return QH_RSA_E_ARGUMENT;
        bool answer = false;
        if (const int status = op(answer); status != QH_RSA_OK)
            return status;
        *yes = answer ? 1 : 0;
        return QH_RSA_OK;
    });
}

template <typename Op> int FileMethod(const char* n, const char* exponent, const QhRsaProgress* progress, Op&& op) {
    return Guard([&] {
        std::unique_ptr<BlockCipher> cipher;
        if (const int status = BlockCipher::Create(n, exponent, cipher); status != QH_RSA_OK)
            return status;
        ProgressMeter meter(progress);
        return op(*cipher, meter);
    });
}

} // namespace

int RsaComponentImpl::QueryInterface(const QhGuid& iid, void** out) {
    if (out == nullptr)
        return QH_RSA_E_ARGUMENT;
    if (iid == IID_IQhUnknown)
        *out = static_cast<IQhUnknown*>(this);
    else if (iid == IID_IRsaComponent)
        *out = static_cast<IRsaComponent*>(this);
    else if (iid == IID_IRsaComponent2)
        *out = static_cast<IRsaComponent2*>(this);
    else
        return QH_RSA_E_NO_INTERFACE;
    AddRef();
    return QH_RSA_OK;
}

std::uint32_t RsaComponentImpl::AddRef() {
    return refs_.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::uint32_t RsaComponentImpl::Release() {
    const std::uint32_t left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0)
        delete this;
    return left;
}

int RsaComponentImpl::RandomPrime(int words, char* out, std::size_t outSize, std::size_t* outLen) {
    return RandomPrimeWithProgress(words, nullptr, out, outSize, outLen);
}

int RsaComponentImpl::RandomPrimeWithProgress(int words, const QhRsaProgress* progress, char* out, std::size_t outSize,
                                              std::size_t* outLen) {
    return NumberMethod(out, outSize, outLen, [&](std::string& value) {
        // The length is fixed: refuse a short buffer before spending time on a prime.
        if (words >= 1 && words <= kMaxPrimeWords && outSize <= RandomPrimeDigits(words)) {
            if (outLen != nullptr)
                *outLen = RandomPrimeDigits(words);
            return QH_RSA_E_BUFFER;
        }
        ProgressMeter meter(progress);
        return rsa::RandomPrime(words, value, meter);
    });
}

int RsaComponentImpl::IsPrime(const char* x, int* yes) {
    return YesNoMethod(yes, [&](bool& answer) { return rsa::IsPrime(x, answer); });
}

int RsaComponentImpl::Multiply(const char* p, const char* q, char* out, std::size_t outSize, std::size_t* outLen) {
    return NumberMethod(out, outSize, outLen, [&](std::string& value) { return rsa::Multiply(p, q, value); });
}

int RsaComponentImpl::RandomExponent(char* out, std::size_t outSize, std::size_t* outLen) {
    return NumberMethod(out, outSize, outLen, [&](std::string& value) { return rsa::RandomExponent(value); });
}

int RsaComponentImpl::InverseModPhi(const char* p, const char* q, const char* x, char* out, std::size_t outSize,
                                    std::size_t* outLen) {
    return NumberMethod(out, outSize, outLen, [&](std::string& value) { return rsa::InverseModPhi(p, q, x, value); });
}

int RsaComponentImpl::PowerMod(const char* n, const char* k, const char* x, char* out, std::size_t outSize,
                               std::size_t* outLen) {
    return NumberMethod(out, outSize, outLen, [&](std::string& value) { return rsa::PowerMod(n, k, x, value); });
}

int RsaComponentImpl::EncryptInteger(const char* n, const char* e, const char* x, char* out, std::size_t outSize,
                                     std::size_t* outLen) {
    return PowerMod(n, e, x, out, outSize, outLen);
}

int RsaComponentImpl::DecryptInteger(const char* n, const char* d, const char* y, char* out, std::size_t outSize,
                                     std::size_t* outLen) {
    return PowerMod(n, d, y, out, outSize, outLen);
}

int RsaComponentImpl::EncryptString(const char* n, const char* e, const unsigned char* text, std::size_t textLen,
                                    char* out, std::size_t outSize, std::size_t* outLen) {
    return EncryptStringWithProgress(n, e, text, textLen, nullptr, out, outSize, outLen);
}

int RsaComponentImpl::EncryptStringWithProgress(const char* n, const char* e, const unsigned char* text,
                                                std::size_t textLen, const QhRsaProgress* progress, char* out,
                                                std::size_t outSize, std::size_t* outLen) {
    return Guard([&] {
        if (!BufferValid(out, outSize) || (text == nullptr && textLen != 0))
            return QH_RSA_E_ARGUMENT;
        std::unique_ptr<BlockCipher> cipher;
        if (const int status = BlockCipher::Create(n, e, cipher); status != QH_RSA_OK)
            return status;
        std::string ciphertext;
        std::size_t needed = 0;
        ProgressMeter meter(progress);
        const int status = EncryptText(*cipher, text, textLen, outSize, ciphertext, needed, meter);
        if (status == QH_RSA_E_BUFFER && outLen != nullptr)
            *outLen = needed;
        return status == QH_RSA_OK ? WriteOut(ciphertext, out, outSize, outLen) : status;
    });
}

int RsaComponentImpl::DecryptString(const char* n, const char* d, const char* ciphertext, unsigned char* out,
                                    std::size_t outSize, std::size_t* outLen) {
    return DecryptStringWithProgress(n, d, ciphertext, nullptr, out, outSize, outLen);
}

int RsaComponentImpl::DecryptStringWithProgress(const char* n, const char* d, const char* ciphertext,
                                                const QhRsaProgress* progress, unsigned char* out, std::size_t outSize,
                                                std::size_t* outLen) {
    return Guard([&] {
        if (!BufferValid(out, outSize))
            return QH_RSA_E_ARGUMENT;
        std::unique_ptr<BlockCipher> cipher;
        if (const int status = BlockCipher::Create(n, d, cipher); status != QH_RSA_OK)
            return status;
        std::string plaintext;
        std::size_t needed = 0;
        ProgressMeter meter(progress);
        int status = DecryptText(*cipher, ciphertext, outSize, plaintext, needed, meter);
        if (status == QH_RSA_E_BUFFER && outLen != nullptr)
            *outLen = needed;
        if (status == QH_RSA_OK)
            status = WriteOut(plaintext, out, outSize, outLen);
        OPENSSL_cleanse(plaintext.data(), plaintext.size());
        return status;
    });
}

int RsaComponentImpl::EncryptFile(const char* n, const char* e, const char* inputPath, const char* outputPath) {
    return EncryptFileWithProgress(n, e, inputPath, outputPath, nullptr);
}

int RsaComponentImpl::EncryptFileWithProgress(const char* n, const char* e, const char* inputPath,
                                              const char* outputPath, const QhRsaProgress* progress) {
    return FileMethod(n, e, progress, [&](BlockCipher& cipher, ProgressMeter& meter) {
        return EncryptFileStream(cipher, inputPath, outputPath, meter);
    });
}

int RsaComponentImpl::DecryptFile(const char* n, const char* d, const char* inputPath, const char* outputPath) {
    return DecryptFileWithProgress(n, d, inputPath, outputPath, nullptr);
}

int RsaComponentImpl::DecryptFileWithProgress(const char* n, const char* d, const char* inputPath,
                                              const char* outputPath, const QhRsaProgress* progress) {
    return FileMethod(n, d, progress, [&](BlockCipher& cipher, ProgressMeter& meter) {
        return DecryptFileStream(cipher, inputPath, outputPath, meter);
    });
}

int RsaComponentImpl::IsCoprimeToPhi(const char* p, const char* q, const char* x, int* yes) {
    return YesNoMethod(yes, [&](bool& answer) { return rsa::IsCoprimeToPhi(p, q, x, answer); });
}

} // namespace qh::rsa

extern "C" int QhRsaCreateInstance(const QhGuid* clsid, const QhGuid* iid, void** out) {
    if (clsid == nullptr || iid == nullptr || out == nullptr)
        return QH_RSA_E_ARGUMENT;
    if (!(*clsid == CLSID_QhRsaComponent))
        return QH_RSA_E_NO_CLASS;
    auto* object = new (std::nothrow) qh::rsa::RsaComponentImpl;
    if (object == nullptr)
        return QH_RSA_E_INTERNAL;
    const int status = object->QueryInterface(*iid, out);
    object->Release(); // the object lives on only through *out
    return status;
}
