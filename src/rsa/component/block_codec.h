// RSA on fixed-size blocks, the padding of each block, and the block stream
// that carries a byte string of any length (docs/rsa-formats.md).
//
// A block holds k bytes, k being the byte length of n. Before encryption a
// block reads 00 02 PS 00 payload, PS being random non-zero bytes. The first
// block's payload starts with the plaintext's length as 8 bytes big-endian;
// the payloads, in order, then carry the plaintext. Every block but the last
// is full, so the length alone fixes the whole layout, and the decryptor
// insists on exactly that layout.
//
// Two layouts exist. Layout 2, written under keys of 512 bits and more, has
// at least 8 bytes of PS in every block and puts a tag byte 02 before the
// length. Layout 1, written under shorter keys, has at least 4 bytes of PS
// and no tag; its length's top byte is 00. The first payload byte thus tells
// the decryptor which layout it reads.
#ifndef QUILLHORN_RSA_COMPONENT_BLOCK_CODEC_H
#define QUILLHORN_RSA_COMPONENT_BLOCK_CODEC_H

#include "bignum.h"
#include "progress_meter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace qh::rsa {

// The layouts of the block stream; their numbers are the encrypted file's version byte.
enum class Layout : unsigned char { One = 1, Two = 2 };

inline constexpr std::size_t kLengthBytes = 8;
inline constexpr unsigned char kLayoutTwoTag = 0x02;
// The smallest k whose first block still holds the length in layout 1 (n of 113 bits or more).
inline constexpr std::size_t kMinBlockBytes = 3 + 4 + kLengthBytes;
// Encryption writes layout 2 from this k on (n of 512 bits or more).
inline constexpr std::size_t kLayoutTwoBlockBytes = 64;

// The layout that encryption writes for blocks of k bytes.
Layout LayoutFor(std::size_t k);
// The number of blocks that carry `total` bytes in `layout` at k bytes a block.
std::uint64_t BlockCountOf(Layout layout, std::size_t k, std::uint64_t total);

// block -> block^exponent mod n on k-byte big-endian blocks, in constant time
// with respect to the exponent. One Montgomery context serves a whole call.
class BlockCipher {
public:
    // Parses n and the exponent. n must be odd, at least 3 (QH_RSA_E_MODULUS)
    // and at least kMinBlockBytes long (QH_RSA_E_KEY_TOO_SMALL).
    static int Create(const char* n, const char* exponent, std::unique_ptr<BlockCipher>& out);

    std::size_t blockBytes() const { return k_; }
    // The checks of a key for encryption, which decryption leaves out so that
    // whatever was once encrypted can be read back: QH_RSA_E_EXPONENT for an
    // exponent that is even (x and n - x have the same even power modulo n,
    // so nothing encrypted with it could be decrypted), zero or one (which
    // leaves the plaintext as it is); QH_RSA_E_PRIME_MODULUS for a prime n,
    // whose exponents anyone can invert. The prime test reports to `meter`
    // after each round and returns QH_RSA_E_CANCELLED when the caller stops it.
    int checkForEncryption(ProgressMeter& meter);
    // How many blocks make about a millisecond of work under this key, at
    // least one: the interval between progress reports.
    std::uint64_t blocksPerReport() const;
    // Transforms `in` into `out` (both k bytes, may be the same buffer).
    // Returns false when `in` is not below n.
    bool apply(const unsigned char* in, unsigned char* out);

private:
    BlockCipher() = default;

    Bn n_, exponent_, value_, result_;
    BnCtx ctx_;
    MontCtx mont_;
    std::size_t k_ = 0;
};

// Turns a plaintext of known length into blocks, one block per call, in the
// layout that LayoutFor chooses.
class StreamEncryptor {
public:
    // Whether a plaintext of `total` bytes fits that layout: layout 1 carries
    // fewer than 2^56 bytes (its length's top byte must stay 00).
    static bool Carries(std::size_t k, std::uint64_t total);
    // `total` must be carried (see above).
    StreamEncryptor(BlockCipher& cipher, std::uint64_t total);
    ~StreamEncryptor();
    StreamEncryptor(const StreamEncryptor&) = delete;
    StreamEncryptor& operator=(const StreamEncryptor&) = delete;

    Layout layout() const { return layout_; }
    bool done() const { return next_ == count_; }
    // The number of plaintext bytes that the next block takes.
    std::size_t nextDataBytes() const;
    // Pads and encrypts the next block from nextDataBytes() bytes of `data`
    // into k bytes at `out`.
    void sealNext(const unsigned char* data, unsigned char* out);

private:
    // PS bytes come from a pool filled a few kilobytes at a time: one call
    // to the generator per block would cost more than the exponentiation.
    static constexpr std::size_t kRandomPoolBytes = 4096;
    void fillNonZero(unsigned char* out, std::size_t len);

    BlockCipher& cipher_;
    Layout layout_;
    std::uint64_t total_;
    std::uint64_t remaining_;
    std::uint64_t count_;
    std::uint64_t next_ = 0;
    std::vector<unsigned char> block_;
    std::vector<unsigned char> random_;
    std::size_t randomUsed_;
};

// Opens blocks one by one and checks them against the stream's layout.
class StreamDecryptor {
public:
    explicit StreamDecryptor(BlockCipher& cipher);
    ~StreamDecryptor();
    StreamDecryptor(const StreamDecryptor&) = delete;
    StreamDecryptor& operator=(const StreamDecryptor&) = delete;

    // Decrypts the next k-byte block. On success `data` and `dataLen` give the
    // plaintext bytes it carries (valid until the next call). Fails with
    // QH_RSA_E_WRONG_KEY when the padding is wrong or the block is not below n,
    // and with QH_RSA_E_FORMAT when the block does not fit the layout (or the
    // first one names no layout).
    int openNext(const unsigned char* block, const unsigned char*& data, std::size_t& dataLen);

    bool headerSeen() const { return next_ > 0; }
    // The layout named by the first block, once it is opened.
    Layout layout() const { return layout_; }
    bool done() const { return headerSeen() && next_ == count_; }
    std::uint64_t total() const { return total_; }
    std::uint64_t blockCount() const { return count_; }

private:
    BlockCipher& cipher_;
    Layout layout_ = Layout::One;
    std::uint64_t total_ = 0;
    std::uint64_t remaining_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t next_ = 0;
    std::vector<unsigned char> block_;
};

} // namespace qh::rsa

#endif
