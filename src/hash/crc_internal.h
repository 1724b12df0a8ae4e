// Shared between the portable CRC code and its x86 form.
#ifndef QUILLHORN_CRC_INTERNAL_H
#define QUILLHORN_CRC_INTERNAL_H

#include <cstddef>
#include <cstdint>

namespace qh::crc_detail {

// Test hook: while set, CRC-32 uses the portable tables even where the
// processor could fold.
void SetPortableOnly(bool portable);

#if defined(__x86_64__)
// The CRC-32 register (reflected, without the final inversion) after `data`,
// folded with carry-less multiplication. `length` is a multiple of 16 and at
// least 64. Needs PCLMULQDQ and SSE4.1.
std::uint32_t Crc32Pclmul(std::uint32_t crc, const std::uint8_t* data, std::size_t length);
#endif

} // namespace qh::crc_detail

#endif
