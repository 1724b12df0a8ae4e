// The RSA component's binary interface.
//
// The component is a separately built shared library (libquillhorn-rsa.so). It
// exports one C function, QhRsaCreateInstance, that creates an object of the
// component class and hands out one of its interfaces, identified by GUIDs in
// the manner of COM. Callers hold the object through IRsaComponent, which is
// reference counted: every pointer obtained through QhRsaCreateInstance or
// QueryInterface is released exactly once.
//
// Conventions of every method:
// - Numbers are NUL-terminated strings of hexadecimal digits, most significant
//   digit first, no prefix, either letter case, at least one digit. Leading
//   zeros are allowed. Anything else is refused with QH_RSA_E_NUMBER.
// - Results go into caller buffers: `out` of `outSize` bytes. The result and its
//   terminating NUL are written; `*outLen` (when not null) receives the result's
//   length without the NUL. When the buffer is too small the method returns
//   QH_RSA_E_BUFFER, writes nothing to `out`, and `*outLen` receives the length
//   needed (without the NUL), so the caller can retry with a larger buffer.
//   `out` may be null when `outSize` is 0, to ask for the length alone.
// - Numbers come out in lower case without leading zeros ("0" for zero).
// - Every method returns a status: QH_RSA_OK (0) on success, a negative
//   QH_RSA_E_* value on failure. Yes/no answers go to an int out-value,
//   non-zero meaning yes. On failure the out-values are left untouched.
// - No method throws, and no input makes one crash.
//
// IRsaComponent2, a second interface of the same object, adds the long
// operations with a progress report that may stop them (QhRsaProgress).
#ifndef QUILLHORN_RSA_COMPONENT_H
#define QUILLHORN_RSA_COMPONENT_H

#include <cstddef>
#include <cstdint>

extern "C" {

struct QhGuid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

// The progress of a long call. The component calls `report` now and then on
// the calling thread, with the work done and the whole: bytes for strings and
// files; candidates tried for a prime, with a whole of 0 (unknown). A non-zero
// return stops the call, which then returns QH_RSA_E_CANCELLED and leaves no
// output file and no output value. A null record, or one without a report
// function, makes a call that reports nothing and runs to its end.
struct QhRsaProgress {
    int (*report)(void* context, std::uint64_t done, std::uint64_t total);
    void* context;
};

} // extern "C"

inline bool operator==(const QhGuid& a, const QhGuid& b) {
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.data4[i] != b.data4[i])
            return false;
    return true;
}

// Statuses.
inline constexpr int QH_RSA_OK = 0;
inline constexpr int QH_RSA_E_NUMBER = -1;         // a number is empty or holds a non-hexadecimal character
inline constexpr int QH_RSA_E_ARGUMENT = -2;       // a value is out of range (p = q, p below 3, null pointer...)
inline constexpr int QH_RSA_E_NOT_INVERTIBLE = -3; // the value has no inverse modulo (p-1)(q-1)
inline constexpr int QH_RSA_E_BUFFER = -4;         // the output buffer is too small; *outLen holds the length needed
inline constexpr int QH_RSA_E_KEY_TOO_SMALL = -5;  // the modulus is too short for the string and file format
inline constexpr int QH_RSA_E_FORMAT = -6;         // the ciphertext is damaged or not in the component's format
inline constexpr int QH_RSA_E_WRONG_KEY = -7;      // the ciphertext was not made with this key
inline constexpr int QH_RSA_E_OPEN_INPUT = -8;     // the input file cannot be opened or read
inline constexpr int QH_RSA_E_OPEN_OUTPUT = -9;    // the output file cannot be created or written
inline constexpr int QH_RSA_E_SAME_FILE = -10;     // input and output name the same file
inline constexpr int QH_RSA_E_INTERNAL = -11;      // out of memory, or the random generator failed
inline constexpr int QH_RSA_E_NO_INTERFACE = -12;  // QueryInterface: the object has no such interface
inline constexpr int QH_RSA_E_NO_CLASS = -13;      // QhRsaCreateInstance: the library has no such class
inline constexpr int QH_RSA_E_MODULUS = -14;       // n is even or below 3
inline constexpr int QH_RSA_E_EXPONENT = -15;      // encryption: e is even, zero or one
inline constexpr int QH_RSA_E_RANGE = -16;         // the number x (or y) is not below n
inline constexpr int QH_RSA_E_PRIME_MODULUS = -17; // encryption: n is (probably) a prime
inline constexpr int QH_RSA_E_CANCELLED = -18;     // the caller stopped the call; nothing was written

// The component class and its interfaces.
inline constexpr QhGuid CLSID_QhRsaComponent = {
    0xA8C5139E, 0xECD5, 0x4FED, {0x91, 0x4B, 0xE0, 0x31, 0x2B, 0x75, 0xD5, 0x77}};
inline constexpr QhGuid IID_IRsaComponent = {
    0x0548A77B, 0x8286, 0x44E9, {0x8A, 0x5B, 0x23, 0x5C, 0x98, 0x51, 0x92, 0xEE}};
inline constexpr QhGuid IID_IRsaComponent2 = {
    0x5022E676, 0xBDBF, 0x440A, {0xB2, 0x41, 0xA3, 0xF7, 0x11, 0xEB, 0xEC, 0xBF}};
inline constexpr QhGuid IID_IQhUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The root of every interface: identity and lifetime.
class IQhUnknown {
public:
    virtual int QueryInterface(const QhGuid& iid, void** out) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    ~IQhUnknown() = default; // objects are destroyed through Release only
};

// The RSA operations, in slot order.
class IRsaComponent : public IQhUnknown {
public:
    // A random prime of `words` 32-bit words (32 * words bits, the top two bits
    // set, so that the product of two such primes has 64 * words bits).
    // 1 <= words <= 128.
    virtual int RandomPrime(int words, char* out, std::size_t outSize, std::size_t* outLen) = 0;
    // *yes := x is (with overwhelming probability) a prime.
    virtual int IsPrime(const char* x, int* yes) = 0;
    // p * q.
    virtual int Multiply(const char* p, const char* q, char* out, std::size_t outSize, std::size_t* outLen) = 0;
    // A random odd number of 1024 bits, used as e or d.
    virtual int RandomExponent(char* out, std::size_t outSize, std::size_t* outLen) = 0;
    // y with x * y = 1 mod (p-1)(q-1). p and q must differ and be at least 3.
    virtual int InverseModPhi(const char* p, const char* q, const char* x, char* out, std::size_t outSize,
                              std::size_t* outLen) = 0;
    // x^k mod n. n odd and at least 3 (QH_RSA_E_MODULUS); x < n (QH_RSA_E_RANGE).
    // Any exponent is taken.
    virtual int PowerMod(const char* n, const char* k, const char* x, char* out, std::size_t outSize,
                         std::size_t* outLen) = 0;
    // x^e mod n, with the checks of PowerMod.
    virtual int EncryptInteger(const char* n, const char* e, const char* x, char* out, std::size_t outSize,
                               std::size_t* outLen) = 0;
    // Encrypts `textLen` bytes (any bytes, NUL included) into a ciphertext text
    // of lower-case hexadecimal digits (NUL-terminated in `out`). n needs at
    // least 113 bits and may not be a prime (QH_RSA_E_PRIME_MODULUS: anyone
    // could decrypt); e must be odd and above 1 (QH_RSA_E_EXPONENT: nothing
    // encrypted with an even exponent can be decrypted, and 1 hides nothing).
    // Formats: docs/rsa-formats.md.
    virtual int EncryptString(const char* n, const char* e, const unsigned char* text, std::size_t textLen, char* out,
                              std::size_t outSize, std::size_t* outLen) = 0;
    // Encrypts the regular file at inputPath into a new file at outputPath,
    // which replaces any file there only on success. n and e as for
    // EncryptString.
    virtual int EncryptFile(const char* n, const char* e, const char* inputPath, const char* outputPath) = 0;
    // y^d mod n, with the checks of PowerMod.
    virtual int DecryptInteger(const char* n, const char* d, const char* y, char* out, std::size_t outSize,
                               std::size_t* outLen) = 0;
    // Undoes EncryptString. Blanks, tabs and line breaks in the ciphertext are
    // skipped. Neither d nor the primality of n is checked, so that whatever
    // was encrypted can be read back. The plaintext bytes are written to `out` followed by a NUL that
    // is not counted in *outLen.
    virtual int DecryptString(const char* n, const char* d, const char* ciphertext, unsigned char* out,
                              std::size_t outSize, std::size_t* outLen) = 0;
    // Undoes EncryptFile. On failure the output file is not created.
    virtual int DecryptFile(const char* n, const char* d, const char* inputPath, const char* outputPath) = 0;
    // *yes := gcd(x, (p-1)(q-1)) = 1.
    virtual int IsCoprimeToPhi(const char* p, const char* q, const char* x, int* yes) = 0;

protected:
    ~IRsaComponent() = default;
};

// The long operations of IRsaComponent with a progress report (QhRsaProgress),
// in slot order after IRsaComponent's. With a null progress each behaves
// exactly as the method of the same name without it. Reports come at least a
// block's worth of work apart and at most a few milliseconds' worth, and once
// more at the end with done = total. A short buffer is answered
// (QH_RSA_E_BUFFER) before any work and any report, so asking again with the
// length needed does not repeat the work.
class IRsaComponent2 : public IRsaComponent {
public:
    // Reports once per candidate tried and once per round of the prime test
    // (done = candidates tried, total = 0).
    virtual int RandomPrimeWithProgress(int words, const QhRsaProgress* progress, char* out, std::size_t outSize,
                                        std::size_t* outLen) = 0;
    // done and total count plaintext bytes.
    virtual int EncryptStringWithProgress(const char* n, const char* e, const unsigned char* text, std::size_t textLen,
                                          const QhRsaProgress* progress, char* out, std::size_t outSize,
                                          std::size_t* outLen) = 0;
    // done and total count ciphertext bytes (two hexadecimal digits a byte).
    virtual int DecryptStringWithProgress(const char* n, const char* d, const char* ciphertext,
                                          const QhRsaProgress* progress, unsigned char* out, std::size_t outSize,
                                          std::size_t* outLen) = 0;
    // done and total count bytes of the input file.
    virtual int EncryptFileWithProgress(const char* n, const char* e, const char* inputPath, const char* outputPath,
                                        const QhRsaProgress* progress) = 0;
    virtual int DecryptFileWithProgress(const char* n, const char* d, const char* inputPath, const char* outputPath,
                                        const QhRsaProgress* progress) = 0;

protected:
    ~IRsaComponent2() = default;
};

extern "C" {
// The component library's one entry point: creates an object of class `clsid`
// and stores its interface `iid` in *out (with one reference held).
typedef int (*QhRsaCreateInstanceFn)(const QhGuid* clsid, const QhGuid* iid, void** out);
}

inline constexpr const char* kQhRsaCreateInstanceSymbol = "QhRsaCreateInstance";
inline constexpr const char* kQhRsaComponentFileName = "libquillhorn-rsa.so";

#endif
