// libFuzzer target for the RSA component's ciphertext texts and files, under
// two fixed keys (512 bits, whose blocks take layout 2, and 256 bits, layout
// 1). The component is loaded as at start-up.
//
// Decrypting any text or file gives the plaintext or a format or key failure;
// a failed or stopped call leaves the caller's buffer, its length and the
// output folder as they were; a short buffer is answered before any report,
// with a length that then suffices. Blocks forged from the input (each raw
// block encrypted with e, so that decryption opens it to the fuzzer's bytes)
// read the same as a text and as a file. Encryption decrypts back.
//
// Input layout: a flags byte, then the data.
//   bit 0      the 256-bit key instead of the 512-bit one
//   bits 1-2   0 a ciphertext text, 1 a ciphertext file, 2 forged blocks, 3 a round trip
//   bits 3-5   stop the call at that report (0: never)
//   bits 6-7   the output buffer: none, 1 byte, large enough, or forged blocks as a file of version 1 or 2
#include "fuzz_support.h"
#include "rsa_loader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using qh::fuzz::ListScratch;
using qh::fuzz::Require;

namespace {

struct Key {
    const char* n;
    const char* e;
    const char* d;
    std::size_t k; // bytes of n
};

const Key kKeys[] = {
    {"ca1134da0dc6ef04a797e834433bf7afd757a0845f16cdbd025107a30749a1e6353a04c2c09c1a2cdfe69d8490a135a1db81c3f10d6fa2"
     "8a6f0ce79f1b632115",
     "10001",
     "30b0d4bb7676694205e064e3b30fd02f5f048e795730778303fbe28b364657ec62f0e5d0598c718ee0398cf61b4fc8def4bf79d235607a85"
     "6986b95a4dc66a5",
     64},
    {"a7651177075e3bed5a8da0559e1182214c2231d1650297d41e3d001926a9a5e3", "10001",
     "90d0ce083496a0af99ac76ae3b3e985d41c9cfde5c66aeb4817075518d6c8381", 32},
};

qh::RsaComponentLoader loader;
IRsaComponent2* component = nullptr;

// A progress record that stops the call at report `stopAt` (never for 0).
struct Stopper {
    int stopAt = 0;
    int reports = 0;
    QhRsaProgress record{&Stopper::report, this};
    static int report(void* context, std::uint64_t done, std::uint64_t total) {
        auto* self = static_cast<Stopper*>(context);
        Require(total == 0 || done <= total);
        return ++self->reports == self->stopAt ? 1 : 0;
    }
};

constexpr unsigned char kUnwritten = 0xA5;
constexpr std::size_t kNoLength = 12345;

// Decrypts a text with the buffer the flags choose; the plaintext on success.
int DecryptText(const Key& key, const std::string& text, int stopAt, int bufferChoice, std::string& plaintext) {
    const std::size_t roomy = text.size() / 2 + 1; // never shorter than the plaintext and its NUL
    std::size_t size = bufferChoice == 0 ? 0 : bufferChoice == 1 ? 1 : roomy;
    for (int attempt = 0;; ++attempt) {
        std::vector<unsigned char> out(size + 1, kUnwritten); // one byte more to see overruns
        std::size_t length = kNoLength;
        Stopper stopper{stopAt};
        const int status = component->DecryptStringWithProgress(key.n, key.d, text.c_str(), &stopper.record,
                                                                size == 0 ? nullptr : out.data(), size, &length);
        if (status == QH_RSA_OK) {
            Require(length < size && out[length] == 0 && out[size] == kUnwritten);
            plaintext.assign(reinterpret_cast<const char*>(out.data()), length);
            return status;
        }
        for (const unsigned char byte : out)
            Require(byte == kUnwritten);
        if (status != QH_RSA_E_BUFFER) {
            Require(length == kNoLength);
            Require(status == QH_RSA_E_FORMAT || status == QH_RSA_E_WRONG_KEY ||
                    (status == QH_RSA_E_CANCELLED && stopAt > 0));
            return status;
        }
        Require(stopper.reports == 0 && length >= size && length < roomy && attempt == 0);
        size = length + 1;
    }
}

int DecryptFile(const Key& key, const std::string& input, int stopAt, std::string& plaintext) {
    const std::string folder = qh::fuzz::ScratchFolder() + "/";
    qh::fuzz::ClearScratch();
    qh::fuzz::WriteFile(folder + "in", input);
    Stopper stopper{stopAt};
    const int status = component->DecryptFileWithProgress(key.n, key.d, (folder + "in").c_str(),
                                                          (folder + "out").c_str(), &stopper.record);
    if (status == QH_RSA_OK) {
        Require(ListScratch() == "in\nout\n" && qh::fuzz::ReadFile(folder + "out", plaintext));
        return status;
    }
    Require(ListScratch() == "in\n");
    Require(status == QH_RSA_E_FORMAT || status == QH_RSA_E_WRONG_KEY || (status == QH_RSA_E_CANCELLED && stopAt > 0));
    return status;
}

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char byte : bytes) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 15]);
    }
    return text;
}

std::string Unhex(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

// Each whole k-byte block of the data, encrypted with e where it is below n
// (decryption then opens it to the data's bytes) and left as it is otherwise.
std::string ForgeBlocks(const Key& key, std::string_view data) {
    qh::RsaClient client(*component);
    std::string text;
    for (std::size_t at = 0; at + key.k <= data.size(); at += key.k) {
        const std::string block = Hex(std::string(data.substr(at, key.k)));
        const qh::RsaResult sealed = client.powerMod(key.n, key.e, block);
        Require(sealed.ok() || sealed.status == QH_RSA_E_RANGE);
        text += sealed.ok() ? std::string(2 * key.k - sealed.value.size(), '0') + sealed.value : block;
    }
    return text;
}

void RoundTrip(const Key& key, const std::string& plaintext, int stopAt) {
    qh::RsaClient client(*component);
    const qh::RsaResult sealed = client.encryptString(key.n, key.e, plaintext);
    Require(sealed.ok() && sealed.value.size() % (2 * key.k) == 0);
    std::string opened;
    Require(DecryptText(key, sealed.value, 0, 2, opened) == QH_RSA_OK && opened == plaintext);

    const std::string folder = qh::fuzz::ScratchFolder() + "/";
    qh::fuzz::ClearScratch();
    qh::fuzz::WriteFile(folder + "plain", plaintext);
    Stopper stopper{stopAt};
    const int status = component->EncryptFileWithProgress(key.n, key.e, (folder + "plain").c_str(),
                                                          (folder + "sealed").c_str(), &stopper.record);
    if (status == QH_RSA_E_CANCELLED) {
        Require(stopAt > 0 && ListScratch() == "plain\n");
        return;
    }
    Require(status == QH_RSA_OK);
    std::string file;
    Require(qh::fuzz::ReadFile(folder + "sealed", file) && file.size() == 10 + sealed.value.size() / 2);
    Require(DecryptFile(key, file, 0, opened) == QH_RSA_OK && opened == plaintext);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (loader.load(QH_FUZZ_RSA_COMPONENT) != qh::RsaLoadResult::Loaded) {
        std::fprintf(stderr, "cannot load %s: %s\n", QH_FUZZ_RSA_COMPONENT, loader.errorText().c_str());
        std::abort();
    }
    void* second = nullptr;
    if (loader.component()->QueryInterface(IID_IRsaComponent2, &second) != QH_RSA_OK)
        std::abort();
    component = static_cast<IRsaComponent2*>(second); // its reference is held until exit
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const Key& key = kKeys[data[0] & 1];
    const int mode = (data[0] >> 1) & 3;
    const int stopAt = (data[0] >> 3) & 7;
    const int choice = data[0] >> 6;
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string text, file;

    switch (mode) {
    case 0:
        DecryptText(key, input.c_str(), stopAt, choice, text); // the text ends at a NUL, as in C
        break;
    case 1:
        DecryptFile(key, input, stopAt, file);
        break;
    case 2: {
        const std::string blocks = ForgeBlocks(key, input);
        const int textStatus = DecryptText(key, blocks, 0, 2, text);
        const char version = static_cast<char>(choice & 1 ? 2 : 1);
        const std::string header = std::string("QHRSA") + version + Unhex("000000") + static_cast<char>(key.k);
        const int fileStatus = DecryptFile(key, header + Unhex(blocks), 0, file);
        if (fileStatus == QH_RSA_OK)
            Require(textStatus == QH_RSA_OK && file == text);
        else if (textStatus == QH_RSA_OK)
            Require(fileStatus == QH_RSA_E_FORMAT); // the header's version names the other layout
        break;
    }
    default:
        RoundTrip(key, input, stopAt);
        break;
    }
    return 0;
}
