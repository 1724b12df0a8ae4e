// DES and Base64 over 64 MiB beside OpenSSL in the same run: DES-ECB of the
// legacy provider (padding off), EVP_EncodeBlock / EVP_DecodeBlock, and for
// Base64 text in lines of 76 characters EVP_DecodeUpdate. Each body first
// checks that it gives what the reference gives, so a fast wrong path cannot
// pass unnoticed. Names: memory/ALGORITHM/quillhorn,
// memory/ALGORITHM/reference, memory/des-ecb-PATH/quillhorn (our DES limited
// to the AVX2, portable bitsliced or table code) and file/des-ecb/quillhorn (DesEncryptFile on a
// file of the same bytes, written in full and renamed into place each time).
#include "base64.h"
#include "bench_data.h"
#include "des.h"
#include "des_slice.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <string>
#include <string_view>
#include <vector>

namespace qh::bench {
namespace {

constexpr DesKey kKey = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};

std::string_view input() {
    return {reinterpret_cast<const char*>(InputBytes()), kInputLength};
}

void countBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kInputLength));
}

// OpenSSL's DES-ECB (legacy provider) without padding, set up once.
class OpenSslDes {
public:
    OpenSslDes() {
        static OSSL_PROVIDER* const legacy = OSSL_PROVIDER_load(nullptr, "legacy");
        static OSSL_PROVIDER* const defaults = OSSL_PROVIDER_load(nullptr, "default");
        cipher_ = legacy && defaults ? EVP_CIPHER_fetch(nullptr, "DES-ECB", nullptr) : nullptr;
        context_ = EVP_CIPHER_CTX_new();
    }
    ~OpenSslDes() {
        EVP_CIPHER_CTX_free(context_);
        EVP_CIPHER_free(cipher_);
    }
    OpenSslDes(const OpenSslDes&) = delete;
    OpenSslDes& operator=(const OpenSslDes&) = delete;

    // Encrypts `length` bytes (whole blocks) into `out`; false when DES-ECB is not available.
    bool Encrypt(const std::uint8_t* data, std::size_t length, std::uint8_t* out) {
        int written = 0;
        return cipher_ && context_ && EVP_EncryptInit_ex2(context_, cipher_, kKey.data(), nullptr, nullptr) == 1 &&
               EVP_CIPHER_CTX_set_padding(context_, 0) == 1 &&
               EVP_EncryptUpdate(context_, out, &written, data, static_cast<int>(length)) == 1 &&
               static_cast<std::size_t>(written) == length;
    }

private:
    EVP_CIPHER* cipher_ = nullptr;
    EVP_CIPHER_CTX* context_ = nullptr;
};

std::vector<std::uint8_t> opensslDes(const std::uint8_t* data, std::size_t length) {
    std::vector<std::uint8_t> out(length);
    if (!OpenSslDes().Encrypt(data, length, out.data()))
        out.clear();
    return out;
}

std::vector<std::uint8_t> oursDes(const std::uint8_t* data, std::size_t length) {
    std::vector<std::uint8_t> out(data, data + length);
    DesSchedule(kKey, false).Process(out.data(), length / 8);
    return out;
}

// Both sides read the input and write an output buffer made once, outside the
// timed loop; ours works in place, so it copies the input there first. `widest`
// limits our block function to one path (the widest the processor offers by
// default).
void desOurs(benchmark::State& state, des_slice::Path widest) {
    if (widest > des_slice::Supported()) {
        state.SkipWithError("this processor does not offer the path");
        return;
    }
    const struct Limit {
        explicit Limit(des_slice::Path path) { des_slice::SetWidestPath(path); }
        ~Limit() { des_slice::SetWidestPath(des_slice::Path::Avx512); }
    } limit(widest);
    constexpr std::size_t kCheck = 1 << 16;
    if (oursDes(InputBytes(), kCheck) != opensslDes(InputBytes(), kCheck)) {
        state.SkipWithError("our DES differs from OpenSSL's");
        return;
    }
    std::vector<std::uint8_t> out(kInputLength);
    const DesSchedule schedule(kKey, false);
    for (auto _ : state) {
        std::memcpy(out.data(), InputBytes(), kInputLength);
        schedule.Process(out.data(), kInputLength / 8);
        benchmark::DoNotOptimize(out.data());
    }
    countBytes(state);
}

void desReference(benchmark::State& state) {
    OpenSslDes des;
    std::vector<std::uint8_t> out(kInputLength);
    if (!des.Encrypt(InputBytes(), 8, out.data())) {
        state.SkipWithError("OpenSSL's legacy provider has no DES-ECB");
        return;
    }
    for (auto _ : state) {
        des.Encrypt(InputBytes(), kInputLength, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    countBytes(state);
}

void desFile(benchmark::State& state) {
    const std::string& in = InputFilePath();
    const std::string out = in + ".des";
    std::vector<std::uint8_t> head(1024);
    std::FILE* file = DesEncryptFile(in, out, kKey) == kDesOk ? std::fopen(out.c_str(), "rb") : nullptr;
    const bool read = file && std::fread(head.data(), 1, head.size(), file) == head.size();
    if (file)
        std::fclose(file);
    if (!read || head != oursDes(InputBytes(), head.size())) {
        state.SkipWithError("the encrypted file differs from the buffer's encryption");
        std::remove(out.c_str());
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(DesEncryptFile(in, out, kKey));
    std::remove(out.c_str());
    countBytes(state);
}

// Base64: every body writes into an output buffer made once, outside the
// timed loop, so that the loop times the codec and not the allocation and
// first touch of 64 MiB. Speeds count the decoded bytes both ways.
std::size_t opensslEncodeTo(std::string_view bytes, char* out) {
    const int length =
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out), reinterpret_cast<const unsigned char*>(bytes.data()),
                        static_cast<int>(bytes.size()));
    return length < 0 ? 0 : static_cast<std::size_t>(length);
}

const std::string& encodedInput() {
    static const std::string text = [] {
        std::string encoded(Base64EncodedLength(kInputLength) + 1, '\0'); // EVP_EncodeBlock adds a zero
        encoded.resize(opensslEncodeTo(input(), encoded.data()));
        return encoded;
    }();
    return text;
}

void encodeOurs(benchmark::State& state) {
    std::vector<char> text(Base64EncodedLength(kInputLength) + 1);
    std::vector<char> expected(text.size());
    const std::string_view head = input().substr(0, 1 << 16);
    if (Base64EncodeTo(head, text.data()) != opensslEncodeTo(head, expected.data()) ||
        std::memcmp(text.data(), expected.data(), Base64EncodedLength(head.size())) != 0) {
        state.SkipWithError("our encoding differs from OpenSSL's");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(Base64EncodeTo(input(), text.data()));
        benchmark::ClobberMemory();
    }
    countBytes(state);
}

void encodeReference(benchmark::State& state) {
    std::vector<char> text(Base64EncodedLength(kInputLength) + 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(opensslEncodeTo(input(), text.data()));
        benchmark::ClobberMemory();
    }
    countBytes(state);
}

// The encoded input in lines of 76 characters, each ended by a line break.
const std::string& wrappedInput() {
    static const std::string text = [] {
        const std::string& flat = encodedInput();
        std::string wrapped;
        wrapped.reserve(flat.size() + flat.size() / 76 + 1);
        for (std::size_t at = 0; at < flat.size(); at += 76)
            wrapped.append(flat, at, 76).push_back('\n');
        return wrapped;
    }();
    return text;
}

void decodeOurs(benchmark::State& state, const std::string& text) {
    std::vector<char> bytes(Base64MaxDecodedLength(text.size()));
    if (Base64DecodeTo(text, bytes.data()) != kInputLength || std::memcmp(bytes.data(), input().data(), kInputLength)) {
        state.SkipWithError("our decoding does not give the input back");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(Base64DecodeTo(text, bytes.data()));
        benchmark::ClobberMemory();
    }
    countBytes(state);
}

// EVP_DecodeBlock writes 3 bytes per group, the padding's zero bytes included.
void decodeReference(benchmark::State& state) {
    const std::string& text = encodedInput();
    std::vector<unsigned char> bytes(text.size() / 4 * 3 + 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                                 static_cast<int>(text.size())));
        benchmark::ClobberMemory();
    }
    countBytes(state);
}

// Text in lines: OpenSSL's EVP_DecodeUpdate and EVP_DecodeFinal, which skip
// the line breaks (EVP_DecodeBlock does not take them).
std::size_t opensslDecodeLines(const std::string& text, unsigned char* out) {
    EVP_ENCODE_CTX* context = EVP_ENCODE_CTX_new();
    int length = 0, last = 0;
    bool ok = context != nullptr;
    if (ok) {
        EVP_DecodeInit(context);
        ok = EVP_DecodeUpdate(context, out, &length, reinterpret_cast<const unsigned char*>(text.data()),
                              static_cast<int>(text.size())) >= 0 &&
             EVP_DecodeFinal(context, out + length, &last) == 1;
    }
    EVP_ENCODE_CTX_free(context);
    return ok ? static_cast<std::size_t>(length + last) : 0;
}

void decodeLinesReference(benchmark::State& state) {
    const std::string& text = wrappedInput();
    std::vector<unsigned char> bytes(text.size());
    if (opensslDecodeLines(text, bytes.data()) != kInputLength ||
        std::memcmp(bytes.data(), input().data(), kInputLength)) {
        state.SkipWithError("OpenSSL's decoding of the lines does not give the input back");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(opensslDecodeLines(text, bytes.data()));
        benchmark::ClobberMemory();
    }
    countBytes(state);
}

int registerAll() {
    const std::pair<const char*, void (*)(benchmark::State&)> entries[] = {
        {"memory/des-ecb/quillhorn", [](benchmark::State& state) { desOurs(state, des_slice::Path::Avx512); }},
        {"memory/des-ecb-avx2/quillhorn", [](benchmark::State& state) { desOurs(state, des_slice::Path::Avx2); }},
        {"memory/des-ecb-portable/quillhorn",
         [](benchmark::State& state) { desOurs(state, des_slice::Path::Portable); }},
        {"memory/des-ecb-table/quillhorn", [](benchmark::State& state) { desOurs(state, des_slice::Path::Table); }},
        {"memory/des-ecb/reference", desReference},
        {"file/des-ecb/quillhorn", desFile},
        {"memory/base64-encode/quillhorn", encodeOurs},
        {"memory/base64-encode/reference", encodeReference},
        {"memory/base64-decode/quillhorn", [](benchmark::State& state) { decodeOurs(state, encodedInput()); }},
        {"memory/base64-decode/reference", decodeReference},
        {"memory/base64-decode-76/quillhorn", [](benchmark::State& state) { decodeOurs(state, wrappedInput()); }},
        {"memory/base64-decode-76/reference", decodeLinesReference},
    };
    for (const auto& [name, body] : entries)
        benchmark::RegisterBenchmark(name, body)->Unit(benchmark::kMillisecond);
    return 0;
}

const int registered = registerAll();

} // namespace
} // namespace qh::bench
