// libFuzzer target for DES in memory. Every bitsliced path the processor runs
// enciphers and deciphers as the table code does; padded encryption decrypts
// back; decrypting any bytes fails cleanly or gives a shorter plaintext.
//
// Input layout: the key (8 bytes), a repeat byte, then the data. The data is
// repeated (1 + repeat % 8) times, so that several slices of the widest path
// and a remainder are reached.
#include "des.h"
#include "des_slice.h"
#include "fuzz_support.h"

#include <cstdint>
#include <cstring>
#include <string>

using qh::fuzz::Require;
namespace slice = qh::des_slice;

namespace {

std::string Process(const qh::DesKey& key, bool decrypt, std::string blocks) {
    qh::DesSchedule(key, decrypt).Process(reinterpret_cast<std::uint8_t*>(blocks.data()), blocks.size() / 8);
    return blocks;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9)
        return 0;
    qh::DesKey key;
    std::memcpy(key.data(), data, 8);
    const std::string_view input(reinterpret_cast<const char*>(data) + 9, size - 9);
    std::string text;
    for (int i = 0; i <= data[8] % 8; ++i)
        text.append(input);
    const std::string blocks = text.substr(0, text.size() / 8 * 8);

    slice::SetWidestPath(slice::Path::Table);
    const std::string enciphered = Process(key, false, blocks);
    const std::string deciphered = Process(key, true, blocks);
    for (const slice::Path path : {slice::Path::Portable, slice::Path::Avx2, slice::Path::Avx512}) {
        if (path > slice::Supported())
            break;
        slice::SetWidestPath(path);
        Require(Process(key, false, blocks) == enciphered);
        Require(Process(key, true, blocks) == deciphered);
    }
    slice::SetWidestPath(slice::Path::Avx512);
    Require(Process(key, true, enciphered) == blocks);

    const std::optional<std::string> sealed = qh::DesEncryptBuffer(key, text);
    Require(sealed.has_value() == !text.empty());
    if (sealed) {
        Require(sealed->size() == text.size() / 8 * 8 + 8);
        Require(qh::DesDecryptBuffer(key, *sealed) == text);
    }

    const std::optional<std::string> opened = qh::DesDecryptBuffer(key, text);
    if (opened)
        Require(!text.empty() && text.size() % 8 == 0 && opened->size() < text.size());
    std::string out = "unchanged";
    if (qh::DesDecryptText(text, key, out) == 0)
        Require(out.size() < (text.size() + 7) / 8 * 8 + 8);
    else
        Require(out == "unchanged");
    return 0;
}
