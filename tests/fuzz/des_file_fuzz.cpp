// libFuzzer target for DES files. Decrypting any file either succeeds with an
// output no longer than the input or fails with the padding check, leaving no
// file behind, and a file of one short chunk decrypts as its whole blocks do
// in memory. Encrypting gives the size of the chunk layout, the bytes of the
// in-memory form for a short file, and decrypts back to the input.
//
// Input layout: the key (8 bytes), a mode byte (even: decrypt the data as a
// file; odd: encrypt and decrypt it), then the data.
#include "des.h"
#include "fuzz_support.h"

#include <cstdint>
#include <cstring>
#include <string>

using qh::fuzz::ListScratch;
using qh::fuzz::Require;

namespace {

// The size of an encrypted file: full chunks as they are, a final chunk padded
// to whole blocks and, from 1016 bytes on, followed by the marker block.
std::size_t EncryptedSize(std::size_t size) {
    const std::size_t rest = size % 1024;
    return size - rest + (rest == 0 ? 0 : rest / 8 * 8 + 8 + (rest >= 1016 ? 8 : 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9)
        return 0;
    qh::DesKey key;
    std::memcpy(key.data(), data, 8);
    const bool roundTrip = (data[8] & 1) != 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 9, size - 9);
    const std::string folder = qh::fuzz::ScratchFolder() + "/";
    qh::fuzz::ClearScratch();
    qh::fuzz::WriteFile(folder + "in", input);

    std::string bytes;
    if (!roundTrip) {
        const int status = qh::DesDecryptFile(folder + "in", folder + "out", key);
        Require(status == qh::kDesOk || status == qh::kDesCipherFailed);
        if (status == qh::kDesOk) {
            Require(ListScratch() == "in\nout\n");
            Require(qh::fuzz::ReadFile(folder + "out", bytes) && bytes.size() <= input.size());
        } else {
            Require(ListScratch() == "in\n");
        }
        // A file of one short chunk reads as its whole blocks do in memory.
        if (!input.empty() && input.size() < 1024) {
            const auto plain = qh::DesDecryptBuffer(key, input.substr(0, input.size() / 8 * 8));
            Require(plain.has_value() == (status == qh::kDesOk) && (!plain || *plain == bytes));
        }
        return 0;
    }

    Require(qh::DesEncryptFile(folder + "in", folder + "sealed", key) == qh::kDesOk);
    std::string sealed;
    Require(qh::fuzz::ReadFile(folder + "sealed", sealed) && sealed.size() == EncryptedSize(input.size()));
    if (!input.empty() && input.size() < 1016)
        Require(qh::DesEncryptBuffer(key, input) == sealed);
    Require(qh::DesDecryptFile(folder + "sealed", folder + "out", key) == qh::kDesOk);
    Require(qh::fuzz::ReadFile(folder + "out", bytes) && bytes == input);
    Require(ListScratch() == "in\nout\nsealed\n");
    return 0;
}
