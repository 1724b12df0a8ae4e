// CRC-16/ARC, CRC-16/CCITT-FALSE and CRC-32/ISO-HDLC, from the CRC catalogue.
#ifndef QUILLHORN_CRC_H
#define QUILLHORN_CRC_H

#include "progress.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace qh {

class ByteSource;

// Streaming forms: start from the Init value, Update with any runs of bytes,
// and Final gives the check value.
struct Crc16Arc {
    static constexpr std::uint16_t kInit = 0x0000;
    static std::uint16_t Update(std::uint16_t state, const void* data, std::size_t length);
    static std::uint16_t Final(std::uint16_t state) { return state; }
};
struct CrcCcittFalse {
    static constexpr std::uint16_t kInit = 0xFFFF;
    static std::uint16_t Update(std::uint16_t state, const void* data, std::size_t length);
    static std::uint16_t Final(std::uint16_t state) { return state; }
};
struct Crc32IsoHdlc {
    static constexpr std::uint32_t kInit = 0x00000000; // the conventional pre/post inversion is inside Update
    static std::uint32_t Update(std::uint32_t state, const void* data, std::size_t length);
    static std::uint32_t Final(std::uint32_t state) { return state; }
};

// The check values of the first n bytes of a source from its cursor (the
// cursor stays where it is); bytes past its end count as 0. Once the source
// has Failed the value is no check value of its bytes: callers look at the
// source's Failed().
class CrcCalculator {
public:
    virtual ~CrcCalculator() = default;
    // `progress` (may be null) counts the bytes and is looked at after every
    // view of the source; once it is cancelled the value means nothing.
    std::uint16_t Crc16(ByteSource& source, std::uint64_t n, Progress* progress = nullptr);
    std::uint16_t CrcCcitt(ByteSource& source, std::uint64_t n, Progress* progress = nullptr);
    std::uint32_t Crc32(ByteSource& source, std::uint64_t n, Progress* progress = nullptr);
};

// The low `digits` bits of `value` as 0 and 1, most significant first; when
// grouped, one blank between every four digits counted from the least
// significant end.
std::string FormatBitString(std::uint32_t value, int digits, bool grouped);

} // namespace qh

#endif
