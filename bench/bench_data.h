// The input of the benchmarks: 64 MiB of pseudo-random bytes, in memory and
// in a temporary file, made once per run.
#ifndef QUILLHORN_BENCH_DATA_H
#define QUILLHORN_BENCH_DATA_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace qh::bench {

inline constexpr std::size_t kInputLength = 64u << 20;

// The bytes, kInputLength of them.
const std::uint8_t* InputBytes();

// A file holding the same bytes, removed when the program ends.
const std::string& InputFilePath();

} // namespace qh::bench

#endif
