// A component for tests that script its answers: every method fails with
// QH_RSA_E_INTERNAL until a test class overrides it, and Put hands a number
// text back with the component's buffer rules.
#ifndef QUILLHORN_TESTS_RSA_STUB_RSA_COMPONENT_H
#define QUILLHORN_TESTS_RSA_STUB_RSA_COMPONENT_H

#include "rsa_component.h"

#include <cstring>
#include <string>

namespace qh::test {

class StubRsaComponent : public IRsaComponent {
public:
    int QueryInterface(const QhGuid&, void**) override { return QH_RSA_E_NO_INTERFACE; }
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 1; }
    int RandomPrime(int, char*, std::size_t, std::size_t*) override { return QH_RSA_E_INTERNAL; }
    int IsPrime(const char*, int*) override { return QH_RSA_E_INTERNAL; }
    int Multiply(const char*, const char*, char*, std::size_t, std::size_t*) override { return QH_RSA_E_INTERNAL; }
    int RandomExponent(char*, std::size_t, std::size_t*) override { return QH_RSA_E_INTERNAL; }
    int InverseModPhi(const char*, const char*, const char*, char*, std::size_t, std::size_t*) override {
        return QH_RSA_E_INTERNAL;
    }
    int PowerMod(const char*, const char*, const char*, char*, std::size_t, std::size_t*) override {
        return QH_RSA_E_INTERNAL;
    }
    int EncryptInteger(const char*, const char*, const char*, char*, std::size_t, std::size_t*) override {
        return QH_RSA_E_INTERNAL;
    }
    int EncryptString(const char*, const char*, const unsigned char*, std::size_t, char*, std::size_t,
                      std::size_t*) override {
        return QH_RSA_E_INTERNAL;
    }
    int EncryptFile(const char*, const char*, const char*, const char*) override { return QH_RSA_E_INTERNAL; }
    int DecryptInteger(const char*, const char*, const char*, char*, std::size_t, std::size_t*) override {
        return QH_RSA_E_INTERNAL;
    }
    int DecryptString(const char*, const char*, const char*, unsigned char*, std::size_t, std::size_t*) override {
        return QH_RSA_E_INTERNAL;
    }
    int DecryptFile(const char*, const char*, const char*, const char*) override { return QH_RSA_E_INTERNAL; }
    int IsCoprimeToPhi(const char*, const char*, const char*, int*) override { return QH_RSA_E_INTERNAL; }

protected:
    // The length needed always; the text only when it fits with its NUL.
    static int Put(const std::string& value, char* out, std::size_t size, std::size_t* len) {
        if (len)
            *len = value.size();
        if (value.size() + 1 > size)
            return QH_RSA_E_BUFFER;
        std::memcpy(out, value.c_str(), value.size() + 1);
        return QH_RSA_OK;
    }
};

} // namespace qh::test

#endif
