// RSA through the component beside OpenSSL in the same run. Key generation the
// key tool's way (GenerateKey: two RandomPrime, Multiply, random 1024-bit e,
// InverseModPhi, the round-trip test) against EVP_PKEY_keygen; the private-key
// operation (DecryptInteger with d) against EVP_PKEY_sign (PKCS #1 v1.5 over a
// SHA-256 digest). Names: keygen/BITS/quillhorn, keygen/BITS/reference,
// private/BITS/quillhorn, private/BITS/reference. Key generation takes a random
// time, so those runs use fixed iteration counts large enough for a steady mean.
//
// The panes' radix conversion of a 100,000-digit number, decimal to
// hexadecimal and back (radix/dec2hex, radix/hex2dec): ConvertRadix (quillhorn)
// beside ConvertRadixSchoolbook (schoolbook) and OpenSSL's BN_dec2bn with
// BN_bn2hex, BN_hex2bn with BN_bn2dec (reference).
#include "rsa_loader.h"
#include "rsa_numbers.h"

#include <benchmark/benchmark.h>
#include <openssl/bn.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace qh::bench {
namespace {

RsaClient& Client() {
    static RsaComponentLoader loader;
    if (loader.component() == nullptr && loader.load(DefaultRsaComponentPath()) != RsaLoadResult::Loaded) {
        std::fprintf(stderr, "cannot load the RSA component: %s\n", loader.errorText().c_str());
        std::exit(2);
    }
    static RsaClient client(*loader.component());
    return client;
}

const GeneratedKey& OurKey(int bits) {
    static std::map<int, GeneratedKey> keys;
    auto found = keys.find(bits);
    if (found == keys.end())
        found = keys.emplace(bits, GenerateKey(Client(), bits / 64)).first;
    return found->second;
}

EVP_PKEY* OpenSslKey(int bits) {
    EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr);
    EVP_PKEY* key = nullptr;
    if (context == nullptr || EVP_PKEY_keygen_init(context) != 1 ||
        EVP_PKEY_CTX_set_rsa_keygen_bits(context, static_cast<unsigned>(bits)) != 1 ||
        EVP_PKEY_keygen(context, &key) != 1)
        key = nullptr;
    EVP_PKEY_CTX_free(context);
    return key;
}

template <int bits> void KeygenOurs(benchmark::State& state) {
    for (auto _ : state) {
        const GeneratedKey key = GenerateKey(Client(), bits / 64);
        if (!key.passed) {
            state.SkipWithError("GenerateKey failed");
            return;
        }
        benchmark::DoNotOptimize(key.n.data());
    }
}

template <int bits> void KeygenReference(benchmark::State& state) {
    for (auto _ : state) {
        EVP_PKEY* key = OpenSslKey(bits);
        if (key == nullptr) {
            state.SkipWithError("EVP_PKEY_keygen failed");
            return;
        }
        EVP_PKEY_free(key);
    }
}

template <int bits> void PrivateOurs(benchmark::State& state) {
    const GeneratedKey& key = OurKey(bits);
    // A value below n: n with its top digit lowered.
    std::string y = key.n;
    y[0] = '1';
    const RsaResult check = Client().encryptInteger(key.n, key.e, Client().decryptInteger(key.n, key.d, y).value);
    if (!key.passed || !check.ok() || check.value != y) {
        state.SkipWithError("the component's private operation does not undo the public one");
        return;
    }
    for (auto _ : state) {
        const RsaResult x = Client().decryptInteger(key.n, key.d, y);
        benchmark::DoNotOptimize(x.value.data());
    }
}

template <int bits> void PrivateReference(benchmark::State& state) {
    EVP_PKEY* key = OpenSslKey(bits);
    EVP_PKEY_CTX* context = key ? EVP_PKEY_CTX_new(key, nullptr) : nullptr;
    if (context == nullptr || EVP_PKEY_sign_init(context) != 1 ||
        EVP_PKEY_CTX_set_rsa_padding(context, RSA_PKCS1_PADDING) != 1 ||
        EVP_PKEY_CTX_set_signature_md(context, EVP_sha256()) != 1) {
        state.SkipWithError("EVP_PKEY_sign cannot be set up");
    } else {
        const std::vector<unsigned char> digest(32, 0x5a);
        std::vector<unsigned char> signature(static_cast<std::size_t>(EVP_PKEY_get_size(key)));
        for (auto _ : state) {
            std::size_t length = signature.size();
            if (EVP_PKEY_sign(context, signature.data(), &length, digest.data(), digest.size()) != 1) {
                state.SkipWithError("EVP_PKEY_sign failed");
                break;
            }
            benchmark::DoNotOptimize(signature.data());
        }
    }
    EVP_PKEY_CTX_free(context);
    EVP_PKEY_free(key);
}

// A random number of 100,000 decimal digits, and the same in hexadecimal.
const std::string& Digits(int base) {
    static const std::string decimal = [] {
        std::mt19937 random(100000);
        std::string digits(100000, '0');
        for (char& c : digits)
            c = static_cast<char>('0' + random() % 10);
        digits[0] = '7';
        return digits;
    }();
    static const std::string hexadecimal = ConvertRadix(decimal, 10, 16);
    return base == 10 ? decimal : hexadecimal;
}

template <int from, int to> void RadixOurs(benchmark::State& state) {
    for (auto _ : state) {
        const std::string converted = ConvertRadix(Digits(from), from, to);
        benchmark::DoNotOptimize(converted.data());
    }
}

template <int from, int to> void RadixSchoolbook(benchmark::State& state) {
    if (ConvertRadixSchoolbook(Digits(from), from, to) != Digits(to)) {
        state.SkipWithError("the schoolbook conversion disagrees with ConvertRadix");
        return;
    }
    for (auto _ : state) {
        const std::string converted = ConvertRadixSchoolbook(Digits(from), from, to);
        benchmark::DoNotOptimize(converted.data());
    }
}

// BN_dec2bn then BN_bn2hex, or BN_hex2bn then BN_bn2dec.
template <int from> void RadixReference(benchmark::State& state) {
    for (auto _ : state) {
        BIGNUM* value = nullptr;
        const int read = from == 10 ? BN_dec2bn(&value, Digits(10).c_str()) : BN_hex2bn(&value, Digits(16).c_str());
        char* text = read > 0 ? (from == 10 ? BN_bn2hex(value) : BN_bn2dec(value)) : nullptr;
        BN_free(value);
        if (text == nullptr) {
            state.SkipWithError("OpenSSL's conversion failed");
            return;
        }
        benchmark::DoNotOptimize(text);
        OPENSSL_free(text);
    }
}

// Fixed iteration counts for key generation: the time of one key varies
// widely with the prime search, and a mean over many keys evens it out.
BENCHMARK_TEMPLATE(KeygenOurs, 512)->Name("keygen/512/quillhorn")->Iterations(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(KeygenReference, 512)->Name("keygen/512/reference")->Iterations(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(KeygenOurs, 1024)->Name("keygen/1024/quillhorn")->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(KeygenReference, 1024)
    ->Name("keygen/1024/reference")
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(KeygenOurs, 2048)->Name("keygen/2048/quillhorn")->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(KeygenReference, 2048)->Name("keygen/2048/reference")->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(PrivateOurs, 1024)->Name("private/1024/quillhorn")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(PrivateReference, 1024)->Name("private/1024/reference")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(PrivateOurs, 2048)->Name("private/2048/quillhorn")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(PrivateReference, 2048)->Name("private/2048/reference")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(RadixOurs, 10, 16)->Name("radix/dec2hex/quillhorn")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(RadixSchoolbook, 10, 16)->Name("radix/dec2hex/schoolbook")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(RadixReference, 10)->Name("radix/dec2hex/reference")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(RadixOurs, 16, 10)->Name("radix/hex2dec/quillhorn")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(RadixSchoolbook, 16, 10)->Name("radix/hex2dec/schoolbook")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(RadixReference, 16)->Name("radix/hex2dec/reference")->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qh::bench
