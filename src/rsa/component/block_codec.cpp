#include "block_codec.h"

#include "rsa_component.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <algorithm>
#include <cstring>

namespace qh::rsa {

namespace {

// Payload bytes of the first block and of every later block.
std::size_t HeaderCapacity(std::size_t k) {
    return k - kMinBlockBytes;
}
std::size_t DataCapacity(std::size_t k) {
    return k - kPaddingBytes;
}

} // namespace

int BlockCipher::Create(const char* n, const char* exponent, std::unique_ptr<BlockCipher>& out) {
    std::unique_ptr<BlockCipher> cipher(new BlockCipher);
    if (const int status = ParseHex(n, cipher->n_); status != QH_RSA_OK)
        return status;
    if (const int status = ParseHex(exponent, cipher->exponent_); status != QH_RSA_OK)
        return status;
    if (!BN_is_odd(cipher->n_.get()) || BN_is_one(cipher->n_.get()))
        return QH_RSA_E_ARGUMENT;
    cipher->k_ = static_cast<std::size_t>(BN_num_bytes(cipher->n_.get()));
    if (cipher->k_ < kMinBlockBytes)
        return QH_RSA_E_KEY_TOO_SMALL;
    BN_set_flags(cipher->exponent_.get(), BN_FLG_CONSTTIME);
    cipher->value_ = NewBn();
    cipher->result_ = NewBn();
    cipher->ctx_ = NewBnCtx();
    cipher->mont_.reset(BN_MONT_CTX_new());
    if (!cipher->mont_)
        throw CryptoFailure();
    Check(BN_MONT_CTX_set(cipher->mont_.get(), cipher->n_.get(), cipher->ctx_.get()));
    out = std::move(cipher);
    return QH_RSA_OK;
}

bool BlockCipher::apply(const unsigned char* in, unsigned char* out) {
    if (BN_bin2bn(in, static_cast<int>(k_), value_.get()) == nullptr)
        throw CryptoFailure();
    if (BN_ucmp(value_.get(), n_.get()) >= 0)
        return false;
    Check(BN_mod_exp_mont_consttime(result_.get(), value_.get(), exponent_.get(), n_.get(), ctx_.get(), mont_.get()));
    if (BN_bn2binpad(result_.get(), out, static_cast<int>(k_)) < 0)
        throw CryptoFailure();
    return true;
}

std::uint64_t BlockCountOf(std::size_t k, std::uint64_t total) {
    const std::uint64_t afterHeader = total - std::min<std::uint64_t>(total, HeaderCapacity(k));
    return 1 + afterHeader / DataCapacity(k) + (afterHeader % DataCapacity(k) != 0 ? 1 : 0);
}

StreamEncryptor::StreamEncryptor(BlockCipher& cipher, std::uint64_t total)
    : cipher_(cipher), total_(total), remaining_(total), count_(BlockCountOf(cipher.blockBytes(), total)),
      block_(cipher.blockBytes()), random_(kRandomPoolBytes), randomUsed_(kRandomPoolBytes) {}

StreamEncryptor::~StreamEncryptor() {
    OPENSSL_cleanse(random_.data(), random_.size());
}

void StreamEncryptor::fillNonZero(unsigned char* out, std::size_t len) {
    for (std::size_t i = 0; i < len;) {
        if (randomUsed_ == random_.size()) {
            if (RAND_priv_bytes(random_.data(), static_cast<int>(random_.size())) != 1)
                throw CryptoFailure();
            randomUsed_ = 0;
        }
        const unsigned char byte = random_[randomUsed_++];
        if (byte != 0)
            out[i++] = byte;
    }
}

std::size_t StreamEncryptor::nextDataBytes() const {
    const std::size_t capacity = next_ == 0 ? HeaderCapacity(block_.size()) : DataCapacity(block_.size());
    return static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, capacity));
}

void StreamEncryptor::sealNext(const unsigned char* data, unsigned char* out) {
    const std::size_t k = block_.size();
    const std::size_t dataBytes = nextDataBytes();
    const std::size_t payload = dataBytes + (next_ == 0 ? kLengthBytes : 0);
    const std::size_t psLen = k - 3 - payload;
    block_[0] = 0x00;
    block_[1] = 0x02;
    fillNonZero(&block_[2], psLen);
    block_[2 + psLen] = 0x00;
    unsigned char* p = &block_[3 + psLen];
    if (next_ == 0)
        for (std::size_t i = 0; i < kLengthBytes; ++i)
            *p++ = static_cast<unsigned char>(total_ >> (8 * (kLengthBytes - 1 - i)));
    if (dataBytes > 0)
        std::memcpy(p, data, dataBytes);
    cipher_.apply(block_.data(), out); // the padded value starts with 00, so it is below n
    OPENSSL_cleanse(block_.data(), k);
    remaining_ -= dataBytes;
    ++next_;
}

StreamDecryptor::StreamDecryptor(BlockCipher& cipher) : cipher_(cipher), block_(cipher.blockBytes()) {}

StreamDecryptor::~StreamDecryptor() {
    OPENSSL_cleanse(block_.data(), block_.size());
}

int StreamDecryptor::openNext(const unsigned char* block, const unsigned char*& data, std::size_t& dataLen) {
    if (done())
        return QH_RSA_E_FORMAT; // a block after the last one
    const std::size_t k = block_.size();
    if (!cipher_.apply(block, block_.data()))
        return QH_RSA_E_WRONG_KEY; // cannot come from encryption under this n
    if (block_[0] != 0x00 || block_[1] != 0x02)
        return QH_RSA_E_WRONG_KEY;
    const auto separator = std::find(block_.begin() + 2, block_.end(), 0x00);
    if (separator == block_.end() || separator - block_.begin() < 2 + 4)
        return QH_RSA_E_WRONG_KEY;
    const unsigned char* payload = &*separator + 1;
    std::size_t payloadLen = static_cast<std::size_t>(block_.end() - separator) - 1;

    if (next_ == 0) {
        if (payloadLen < kLengthBytes)
            return QH_RSA_E_FORMAT;
        std::uint64_t total = 0;
        for (std::size_t i = 0; i < kLengthBytes; ++i)
            total = (total << 8) | payload[i];
        payload += kLengthBytes;
        payloadLen -= kLengthBytes;
        total_ = total;
        remaining_ = total;
        count_ = BlockCountOf(k, total);
    }
    const std::size_t capacity = next_ == 0 ? HeaderCapacity(k) : DataCapacity(k);
    if (payloadLen != std::min<std::uint64_t>(remaining_, capacity))
        return QH_RSA_E_FORMAT;
    remaining_ -= payloadLen;
    ++next_;
    data = payload;
    dataLen = payloadLen;
    return QH_RSA_OK;
}

} // namespace qh::rsa
