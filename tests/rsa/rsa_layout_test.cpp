// The two layouts of the block stream: keys of 512 bits and more write layout 2
// (8 padding bytes at least in every block), shorter keys layout 1 (4 at
// least); both are read back, by the first payload byte and, in files, by the
// header's version. Blocks are opened here with libcrypto to see inside them.
#include "rsa_test_support.h"

#include <openssl/bn.h>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <tuple>
#include <vector>

namespace qh::test {
namespace {

std::string BytesOfHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// block^exponent mod n as k bytes, big-endian.
std::string Power(const std::string& n, const std::string& exponent, const std::string& block) {
    const Bn modulus = BnFromHex(n), power = BnFromHex(exponent);
    Bn value(BN_bin2bn(reinterpret_cast<const unsigned char*>(block.data()), static_cast<int>(block.size()), nullptr));
    BN_CTX* ctx = BN_CTX_new();
    BN_mod_exp(value.get(), value.get(), power.get(), modulus.get(), ctx);
    BN_CTX_free(ctx);
    std::string out(block.size(), '\0');
    BN_bn2binpad(value.get(), reinterpret_cast<unsigned char*>(out.data()), static_cast<int>(out.size()));
    return out;
}

// The padded messages of a binary block stream.
std::vector<std::string> OpenBlocks(const TestKey& key, const std::string& stream) {
    const std::size_t k = key.blockBytes();
    std::vector<std::string> blocks;
    for (std::size_t at = 0; at + k <= stream.size(); at += k)
        blocks.push_back(Power(key.n, key.d, stream.substr(at, k)));
    return blocks;
}

// The length of PS in a padded message 00 02 PS 00 payload, or 0 when the
// message does not start so or has no separator.
std::size_t PaddingLength(const std::string& m) {
    const std::size_t separator = m.find('\0', 2);
    return m.compare(0, 2, std::string("\0\2", 2)) == 0 && separator != std::string::npos ? separator - 2 : 0;
}

// A key of 512 bits (e random, 1024 bits) and, made with it before layout 2
// existed, a ciphertext text and an encrypted file of the same 93 bytes.
const TestKey kLayout1Key = {
    "",
    "",
    "c13d7d3a8b42c20e4d9683ecb244781199f7e1a7df5c9382dfdf05b4cdf3526c3355a784301e6c9bbe178ad196fbc2f8"
    "a11d1af72f30526308bf3109be3f1f7b",
    "",
    "29a7a8600bd086d63d8108148d689c966316a4dd15fa561e304789fcc439708f41f699447fb72fec1ebdabdaad0340f4"
    "8ffa37b1a0997f90f135996ffbdec563",
};
const std::string kLayout1Plaintext =
    "Layout 1: four padding bytes a block, written before the change and read back whole after it.";
const std::string kLayout1Text =
    "74d280ea07919ca5da362dad72b0e816f3fffa09c84bba66e66fc37bfd382c881acb7b51c2acccbf34fd4819ac695f8a"
    "54eeda84e383071265534a6784bef640ada5ee7d6160648e5a26fdfa414ecd6736aa11e93089259c7b9b179a5e11c81e"
    "4b63a76385ede3da13d38b0186d556e7c02809538b1a3a6a85738f36f5a63a70";
const std::string kLayout1File =
    "51485253410100000040aeb15406e123fc39f1e35d8a6e7fced78e1ef4cd20637017dc4c382aa024351e64729c77f55a"
    "90601a16efe3026d39216fd165d99c21c841bf29d9db665ef50e0d6bac56b442530ce5fc08430f53285634fc93d0e576"
    "e2adc74a513b53fe6f95d133db9158be117c66fa0f0631cdc58a6af08f709efd5eff379f40f0dfecb027";

using RsaLayouts = RsaTest;

TEST_F(RsaLayouts, KeysOf512BitsAndMorePadEveryBlockWithEightBytesAtLeast) {
    for (int bits : {512, 1024}) {
        const TestKey& key = FastKey(bits);
        const std::size_t k = key.blockBytes();
        const std::size_t total = (k - 20) + 2 * (k - 11) + 5; // three full blocks and a short one
        SCOPED_TRACE(bits);
        const std::string text = RandomBytes(total);
        const RsaResult sealed = client.encryptString(key.n, key.e, text);
        ASSERT_TRUE(sealed.ok()) << sealed.status;
        const std::vector<std::string> blocks = OpenBlocks(key, BytesOfHex(sealed.value));
        ASSERT_EQ(blocks.size(), 4u);
        std::string carried;
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const std::size_t ps = PaddingLength(blocks[i]);
            EXPECT_EQ(ps, i < 3 ? 8u : k - 3 - 5) << "block " << i;
            EXPECT_EQ(blocks[i].find('\0', 2), 2 + ps) << "PS holds a zero byte";
            carried += blocks[i].substr(3 + ps);
        }
        // The tag 02, the length as 8 bytes big-endian, then the data.
        std::string lead(1, '\2');
        for (int shift = 56; shift >= 0; shift -= 8)
            lead += static_cast<char>(total >> shift);
        EXPECT_EQ(carried.substr(0, 9), lead);
        EXPECT_TRUE(carried.substr(9) == text);
    }
}

TEST_F(RsaLayouts, EachLayoutRoundTripsAtItsBlockBoundaries) {
    for (int bits : {128, 256, 512}) {
        const TestKey& key = FastKey(bits);
        const std::size_t k = key.blockBytes();
        const BlockCapacity capacity = CapacityFor(k);
        SCOPED_TRACE(bits);
        for (std::size_t total : {std::size_t{0}, capacity.first - 1, capacity.first, capacity.first + 1,
                                  capacity.first + capacity.data, capacity.first + capacity.data + 1,
                                  capacity.first + 2 * capacity.data, capacity.first + 2 * capacity.data + 1}) {
            const std::string text = RandomBytes(total);
            const RsaResult sealed = client.encryptString(key.n, key.e, text);
            ASSERT_TRUE(sealed.ok()) << sealed.status;
            EXPECT_EQ(sealed.value.size(), 2 * k * BlockCount(k, total)) << total;
            EXPECT_TRUE(client.decryptString(key.n, key.d, sealed.value).value == text) << total;
        }
        // Layout 1 under keys below 512 bits: a full first block has 4 bytes of PS,
        // and its payload starts with the length's top byte, 00.
        const std::string full = client.encryptString(key.n, key.e, RandomBytes(capacity.first)).value;
        const std::string first = OpenBlocks(key, BytesOfHex(full)).at(0);
        EXPECT_EQ(PaddingLength(first), bits < 512 ? 4u : 8u);
        EXPECT_EQ(first[3 + PaddingLength(first)], bits < 512 ? '\0' : '\2');
    }
}

TEST_F(RsaLayouts, Layout1CiphertextsStillDecryptAndFileVersionsMustMatch) {
    const TestKey& key = kLayout1Key;
    const RsaResult opened = client.decryptString(key.n, key.d, kLayout1Text);
    ASSERT_TRUE(opened.ok()) << opened.status;
    EXPECT_EQ(opened.value, kLayout1Plaintext);

    ScratchFolder folder;
    const std::string file = BytesOfHex(kLayout1File);
    WriteFile(folder.path("layout1"), file);
    ASSERT_EQ(client.decryptFile(key.n, key.d, folder.path("layout1"), folder.path("out")), QH_RSA_OK);
    EXPECT_EQ(ReadFile(folder.path("out")), kLayout1Plaintext);

    // The header's version names the layout of the stream that follows.
    const TestKey& fresh = FastKey(512);
    WriteFile(folder.path("plain"), kLayout1Plaintext);
    ASSERT_EQ(client.encryptFile(fresh.n, fresh.e, folder.path("plain"), folder.path("layout2")), QH_RSA_OK);
    std::string layout2 = ReadFile(folder.path("layout2"));
    ASSERT_EQ(layout2[5], '\2');
    layout2[5] = '\1';
    std::string claimsLayout2 = file;
    claimsLayout2[5] = '\2';
    std::string unknown = file;
    unknown[5] = '\3';
    for (const auto& [name, bytes, n, d] :
         {std::tuple(0, layout2, fresh.n, fresh.d), std::tuple(1, claimsLayout2, key.n, key.d),
          std::tuple(2, unknown, key.n, key.d)}) {
        WriteFile(folder.path("bad"), bytes);
        EXPECT_EQ(client.decryptFile(n, d, folder.path("bad"), folder.path("bad-out")), QH_RSA_E_FORMAT) << name;
    }
    EXPECT_EQ(folder.entryCount(), 5u);
}

TEST_F(RsaLayouts, AFirstPayloadByteThatNamesNoLayoutIsDamage) {
    // First blocks sealed by hand: 00 02, PS, 00, then the byte that names the
    // layout and a zero length. Tag 02 needs 20 bytes a block, more than k = 16.
    for (int bits : {128, 512}) {
        const TestKey& key = FastKey(bits);
        const std::size_t k = key.blockBytes();
        for (char tag : {'\1', '\3', '\x80', '\2'}) {
            if (tag == '\2' && bits != 128)
                continue;
            const std::string m =
                std::string("\0\2", 2) + std::string(k - 12, '\x5a') + '\0' + tag + std::string(8, '\0');
            std::string hex;
            for (unsigned char byte : Power(key.n, key.e, m)) {
                static const char digits[] = "0123456789abcdef";
                hex += digits[byte >> 4];
                hex += digits[byte & 15];
            }
            EXPECT_EQ(client.decryptString(key.n, key.d, hex).status, QH_RSA_E_FORMAT) << bits << " " << int(tag);
        }
    }
}

TEST_F(RsaLayouts, Layout1RefusesAPlaintextOf2To56BytesRatherThanLoseIt) {
    // Its length's top byte would no longer be 00, and the file would not
    // decrypt. A sparse file of that size needs a file system that allows it.
    const std::string huge = "/dev/shm/qh-rsa-layout-test-sparse";
    const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const bool made = fd >= 0 && ::ftruncate(fd, off_t{1} << 56) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!made) {
        ::unlink(huge.c_str());
        GTEST_SKIP() << "no file system here holds a sparse file of 2^56 bytes";
    }
    ScratchFolder folder;
    const TestKey& key = FastKey(256);
    EXPECT_EQ(client.encryptFile(key.n, key.e, huge, folder.path("out")), QH_RSA_E_KEY_TOO_SMALL);
    ::unlink(huge.c_str());
    EXPECT_EQ(folder.entryCount(), 0u);
}

} // namespace
} // namespace qh::test
