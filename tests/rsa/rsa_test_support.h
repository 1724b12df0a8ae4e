// Shared pieces of the RSA tests: the real component loaded once through the
// loader, keys made the way the key tool makes them, and scratch folders.
#ifndef QUILLHORN_TESTS_RSA_TEST_SUPPORT_H
#define QUILLHORN_TESTS_RSA_TEST_SUPPORT_H

#include "rsa_loader.h"

#include <gtest/gtest.h>
#include <openssl/bn.h>

#include <filesystem>
#include <memory>
#include <string>

namespace qh::test {

// The component at QH_TEST_RSA_COMPONENT, loaded on first use. Every test
// needs it, so the program stops with the loader's message if it is missing.
IRsaComponent& Component();

struct TestKey {
    std::string p, q, n, e, d;
    std::size_t blockBytes() const { return (n.size() + 1) / 2; }
};

// A key of `bits` bits made as the key tool does: two RandomPrime, a random
// 1024-bit e, d = InverseModPhi(p, q, e), checked by a PowerMod round trip of
// "1234". Cached per size.
const TestKey& KeyToolKey(int bits);
// A key of `bits` bits with e = 10001 (hex), so that bulk tests stay fast.
const TestKey& FastKey(int bits);

std::string RandomBytes(std::size_t count);

// OpenSSL's numbers, the reference the component is checked against.
struct BnFree {
    void operator()(BIGNUM* bn) const { BN_free(bn); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;
// A number from hexadecimal digits (a test failure when they are none).
Bn BnFromHex(const std::string& hex);
// Lower-case hexadecimal without leading zeros, as the component writes numbers.
std::string BnToHex(const BIGNUM* bn);

// The plaintext bytes that the first block and each later block carry in the
// layout that encryption chooses for blocks of k bytes (docs/rsa-formats.md),
// and the number of blocks that carry `total` bytes.
struct BlockCapacity {
    std::size_t first, data;
};
BlockCapacity CapacityFor(std::size_t k);
std::size_t BlockCount(std::size_t k, std::size_t total);

// Fixture: the component and a client over it.
class RsaTest : public ::testing::Test {
protected:
    IRsaComponent& rsa = Component();
    RsaClient client{Component()};
};

// A fresh folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::string path(const std::string& name) const { return (root_ / name).string(); }
    // Names of the entries in the folder.
    std::size_t entryCount() const;

private:
    std::filesystem::path root_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

} // namespace qh::test

#endif
