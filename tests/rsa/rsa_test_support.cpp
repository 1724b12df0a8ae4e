#include "rsa_test_support.h"

#include <openssl/rand.h>

#include <cctype>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

namespace qh::test {

IRsaComponent& Component() {
    static RsaComponentLoader loader;
    if (loader.component() == nullptr && loader.load(QH_TEST_RSA_COMPONENT) != RsaLoadResult::Loaded) {
        std::fprintf(stderr, "cannot load %s: %s\n", QH_TEST_RSA_COMPONENT, loader.errorText().c_str());
        std::abort();
    }
    return *loader.component();
}

namespace {

TestKey MakeKey(int bits, const std::string& fixedE) {
    RsaClient client(Component());
    const int words = bits / 64;
    for (int keyAttempt = 0; keyAttempt < 10; ++keyAttempt) {
        TestKey key;
        key.p = client.randomPrime(words).value;
        key.q = client.randomPrime(words).value;
        key.n = client.multiply(key.p, key.q).value;
        for (int attempt = 0; attempt < 50; ++attempt) {
            key.e = fixedE.empty() ? client.randomExponent().value : fixedE;
            const RsaResult d = client.inverseModPhi(key.p, key.q, key.e);
            if (d.status == QH_RSA_E_NOT_INVERTIBLE && fixedE.empty())
                continue;
            if (!d.ok())
                break; // p = q, or a fixed e that does not fit: new primes
            key.d = d.value;
            const RsaResult sealed = client.powerMod(key.n, key.e, "1234");
            if (client.powerMod(key.n, key.d, sealed.value).value == "1234")
                return key;
        }
    }
    throw std::runtime_error("no key could be made");
}

const TestKey& CachedKey(int bits, const std::string& fixedE) {
    static std::map<std::pair<int, std::string>, TestKey> keys;
    const auto slot = std::make_pair(bits, fixedE);
    auto found = keys.find(slot);
    if (found == keys.end())
        found = keys.emplace(slot, MakeKey(bits, fixedE)).first;
    return found->second;
}

} // namespace

const TestKey& KeyToolKey(int bits) {
    return CachedKey(bits, "");
}

const TestKey& FastKey(int bits) {
    return CachedKey(bits, "10001");
}

std::string RandomBytes(std::size_t count) {
    std::string bytes(count, '\0');
    if (count > 0 && RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(count)) != 1)
        throw std::runtime_error("RAND_bytes failed");
    return bytes;
}

BlockCapacity CapacityFor(std::size_t k) {
    // Layout 2 from 512 bits on: 8 bytes of PS and a tag byte; layout 1 below: 4 and none.
    return k >= 64 ? BlockCapacity{k - 20, k - 11} : BlockCapacity{k - 15, k - 7};
}

std::size_t BlockCount(std::size_t k, std::size_t total) {
    const BlockCapacity capacity = CapacityFor(k);
    const std::size_t rest = total > capacity.first ? total - capacity.first : 0;
    return 1 + (rest + capacity.data - 1) / capacity.data;
}

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qh-rsa-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::size_t ScratchFolder::entryCount() const {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(root_), std::filesystem::directory_iterator()));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Bn BnFromHex(const std::string& hex) {
    BIGNUM* bn = nullptr;
    EXPECT_GT(BN_hex2bn(&bn, hex.c_str()), 0) << hex;
    return Bn(bn);
}

std::string BnToHex(const BIGNUM* bn) {
    char* text = BN_bn2hex(bn);
    std::string out = text;
    OPENSSL_free(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // BN_bn2hex writes whole bytes; the component drops a leading zero digit.
    if (out.size() > 1 && out[0] == '0')
        out.erase(0, 1);
    return out;
}

} // namespace qh::test
