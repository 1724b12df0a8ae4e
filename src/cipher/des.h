// DES (FIPS 46-3) in electronic codebook mode with the program's complement
// padding, and its file layout of 1024-byte chunks.
//
// Complement padding: after the last plaintext byte L come P = 8 - (length mod 8)
// bytes equal to L XOR FF (1 to 8 of them), so the last plaintext byte is the
// first byte, counted from the end, that differs from the final byte.
//
// File layout: full 1024-byte chunks are encrypted without padding; a final
// chunk of r bytes (1 <= r <= 1015) is padded and gives 8*floor(r/8) + 8 bytes.
// A final chunk of 1016 to 1023 bytes pads to a whole 1024-byte chunk, which
// could not be told from an unpadded one, so it is followed by one marker
// block: the encryption of eight 00 bytes, which no padded final block can be
// (eight equal bytes hold no plaintext byte). Decryption that meets the marker
// as the only block of a final short chunk after a full chunk strips the
// padding of that full chunk instead.
// Files of every other size keep the plain layout.
#ifndef QUILLHORN_DES_H
#define QUILLHORN_DES_H

#include "progress.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qh {

using DesKey = std::array<std::uint8_t, 8>;

// The 16 round keys of one key, for one direction.
class DesSchedule {
public:
    DesSchedule(const DesKey& key, bool decrypt);
    // Enciphers (or deciphers) `blocks` 8-byte blocks in place.
    void Process(std::uint8_t* data, std::size_t blocks) const;

private:
    std::uint32_t subkeys_[32];
};

// Pads and encrypts `plaintext`: 8*floor(n/8) + 8 bytes. Nothing for an empty
// plaintext.
std::optional<std::string> DesEncryptBuffer(const DesKey& key, std::string_view plaintext);

// Decrypts whole blocks, then checks and strips the padding. Nothing when the
// input is empty, not whole blocks, or the padding check fails.
std::optional<std::string> DesDecryptBuffer(const DesKey& key, std::string_view ciphertext);

// Completes the ciphertext to whole blocks with zero bytes and decrypts it with
// the padding check: 0 and the plaintext in `out`, or -1 (`out` unchanged).
int DesDecryptText(std::string_view ciphertext, const DesKey& key, std::string& out);

// Results of the file operations.
inline constexpr int kDesOk = 0;
inline constexpr int kDesCipherFailed = -1; // padding check failed (wrong key or damaged file)
inline constexpr int kDesCannotRead = -2;   // the input cannot be opened or read, or is no regular file
inline constexpr int kDesCannotWrite = -3;  // the output file cannot be created or written
inline constexpr int kDesSameFile = -4;     // input and output are the same file; nothing written
inline constexpr int kDesCancelled = -5;    // stopped through the progress record; nothing written

// Encrypt or decrypt a file into another. The output is written to a temporary
// file beside it and renamed over it only on success, so a failure leaves no
// half-written output and an existing output as it was. The input is never
// changed.
// `progress` (may be null) counts the input's bytes and is looked at after
// every run of 1 MiB.
int DesEncryptFile(const std::string& inputPath, const std::string& outputPath, const DesKey& key,
                   Progress* progress = nullptr);
int DesDecryptFile(const std::string& inputPath, const std::string& outputPath, const DesKey& key,
                   Progress* progress = nullptr);

// Eight bytes from the operating system's cryptographic generator (getrandom);
// nothing when it fails.
std::optional<DesKey> DesRandomKey();

} // namespace qh

#endif
