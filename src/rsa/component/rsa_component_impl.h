// The component class: IRsaComponent and IRsaComponent2 over the number, text
// and file code, with the calling conventions of rsa_component.h applied at its
// boundary. The methods without progress are those with a null progress.
#ifndef QUILLHORN_RSA_COMPONENT_IMPL_H
#define QUILLHORN_RSA_COMPONENT_IMPL_H

#include "rsa_component.h"

#include <atomic>
#include <cstdint>

#define QH_RSA_EXPORT __attribute__((visibility("default")))

extern "C" QH_RSA_EXPORT int QhRsaCreateInstance(const QhGuid* clsid, const QhGuid* iid, void** out);

namespace qh::rsa {

class RsaComponentImpl final : public IRsaComponent2 {
public:
    int QueryInterface(const QhGuid& iid, void** out) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    int RandomPrime(int words, char* out, std::size_t outSize, std::size_t* outLen) override;
    int IsPrime(const char* x, int* yes) override;
    int Multiply(const char* p, const char* q, char* out, std::size_t outSize, std::size_t* outLen) override;
    int RandomExponent(char* out, std::size_t outSize, std::size_t* outLen) override;
    int InverseModPhi(const char* p, const char* q, const char* x, char* out, std::size_t outSize,
                      std::size_t* outLen) override;
    int PowerMod(const char* n, const char* k, const char* x, char* out, std::size_t outSize,
                 std::size_t* outLen) override;
    int EncryptInteger(const char* n, const char* e, const char* x, char* out, std::size_t outSize,
                       std::size_t* outLen) override;
    int EncryptString(const char* n, const char* e, const unsigned char* text, std::size_t textLen, char* out,
                      std::size_t outSize, std::size_t* outLen) override;
    int EncryptFile(const char* n, const char* e, const char* inputPath, const char* outputPath) override;
    int DecryptInteger(const char* n, const char* d, const char* y, char* out, std::size_t outSize,
                       std::size_t* outLen) override;
    int DecryptString(const char* n, const char* d, const char* ciphertext, unsigned char* out, std::size_t outSize,
                      std::size_t* outLen) override;
    int DecryptFile(const char* n, const char* d, const char* inputPath, const char* outputPath) override;
    int IsCoprimeToPhi(const char* p, const char* q, const char* x, int* yes) override;

    int RandomPrimeWithProgress(int words, const QhRsaProgress* progress, char* out, std::size_t outSize,
                                std::size_t* outLen) override;
    int EncryptStringWithProgress(const char* n, const char* e, const unsigned char* text, std::size_t textLen,
                                  const QhRsaProgress* progress, char* out, std::size_t outSize,
                                  std::size_t* outLen) override;
    int DecryptStringWithProgress(const char* n, const char* d, const char* ciphertext, const QhRsaProgress* progress,
                                  unsigned char* out, std::size_t outSize, std::size_t* outLen) override;
    int EncryptFileWithProgress(const char* n, const char* e, const char* inputPath, const char* outputPath,
                                const QhRsaProgress* progress) override;
    int DecryptFileWithProgress(const char* n, const char* d, const char* inputPath, const char* outputPath,
                                const QhRsaProgress* progress) override;

private:
    ~RsaComponentImpl() = default;

    std::atomic<std::uint32_t> refs_{1};
};

} // namespace qh::rsa

#endif
