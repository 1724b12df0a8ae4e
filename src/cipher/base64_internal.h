// Internals of the Base64 codec: the vector kernels and the choice between
// them. The kernels do only the plain part of the work, whole groups of clean
// input; base64.cpp does the rest (the final group, padding, skipped
// characters, the end at "=") with the portable code, so every path follows
// the same rules.
#ifndef QUILLHORN_BASE64_INTERNAL_H
#define QUILLHORN_BASE64_INTERNAL_H

#include <cstddef>
#include <cstdint>

namespace qh::base64_detail {

enum class Path { Portable, Avx2, Avx512Vbmi };

// True when the processor and the system run the path; only Portable where
// QUILLHORN_PORTABLE is set.
bool Runs(Path path);

// The path the codec uses: the fastest that runs, unless one is forced.
Path ActivePath();

// Test hook: the codec uses `path` until ForcePath or UseFastestPath is
// called again; false, and nothing changed, if the path does not run here.
bool ForcePath(Path path);
void UseFastestPath();

// An encoding kernel encodes whole groups of 3 bytes from the start of `in`
// (n bytes), 4 characters each, and returns the number of bytes it took (a
// multiple of 3; it may leave whole groups to the caller).
using EncodeKernel = std::size_t (*)(const std::uint8_t* in, std::size_t n, char* out);

// A decoding kernel starts at a group start. It decodes whole groups of four
// alphabet characters, 3 bytes each, and skips the characters outside the
// alphabet that stand at a group start ("=" included: there it ends nothing).
// It stops at the latest before a group that holds such a character, and may
// stop earlier anywhere at a group start, leaving the rest to the portable
// code. It reads only the n characters of `in` and writes only within the
// `room` bytes of `out`; bytes past those it reports as written may be
// changed.
struct DecodeStep {
    std::size_t taken = 0;   // characters
    std::size_t written = 0; // bytes
};
using DecodeKernel = DecodeStep (*)(const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t room);

#if defined(__x86_64__)
// Callable only where Runs(Path::Avx2) or Runs(Path::Avx512Vbmi) holds.
std::size_t EncodeAvx2(const std::uint8_t* in, std::size_t n, char* out);
DecodeStep DecodeAvx2(const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t room);
std::size_t EncodeAvx512Vbmi(const std::uint8_t* in, std::size_t n, char* out);
DecodeStep DecodeAvx512Vbmi(const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t room);
#endif

} // namespace qh::base64_detail

#endif
