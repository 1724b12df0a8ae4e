// Ciphertext texts: the block stream written as lower-case hexadecimal, 2k
// digits a block. Decryption skips blanks, tabs and line breaks.
#ifndef QUILLHORN_RSA_COMPONENT_STRING_CODEC_H
#define QUILLHORN_RSA_COMPONENT_STRING_CODEC_H

#include "block_codec.h"

#include <cstddef>
#include <string>

namespace qh::rsa {

// Encrypts `len` bytes into `out`. When the text and its NUL would not fit in
// `outSize` bytes, returns QH_RSA_E_BUFFER before doing any work; `needed`
// receives the text's length in both cases. Progress counts plaintext bytes;
// a stop returns QH_RSA_E_CANCELLED.
int EncryptText(BlockCipher& cipher, const unsigned char* text, std::size_t len, std::size_t outSize, std::string& out,
                std::size_t& needed, ProgressMeter& meter);

// Decrypts a ciphertext text into `out`. The layout is checked and the first
// block opened before the buffer size is; when the plaintext and a NUL would
// not fit in `outSize` bytes, returns QH_RSA_E_BUFFER with `needed` set, after
// one block of work and before any report. Progress counts ciphertext bytes; a
// stop returns QH_RSA_E_CANCELLED.
int DecryptText(BlockCipher& cipher, const char* ciphertext, std::size_t outSize, std::string& out, std::size_t& needed,
                ProgressMeter& meter);

} // namespace qh::rsa

#endif
