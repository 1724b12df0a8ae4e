// The bitsliced DES block function, for buffers of many blocks.
//
// Every block of the ECB layout is enciphered on its own, so many blocks can
// go through the cipher side by side: bit i of W blocks is gathered into one
// W-bit slice, the permutations become a choice of slice, and each S-box is a
// Boolean circuit (des_sbox_circuits.h) applied to whole slices. The table
// code of des.cpp stays for short inputs and as the reference in tests.
#ifndef QUILLHORN_DES_SLICE_H
#define QUILLHORN_DES_SLICE_H

#include <cstddef>
#include <cstdint>

namespace qh::des_slice {

// The ways of enciphering many blocks, narrowest first: the table code for
// every block, 64 blocks in 64-bit integers (portable C++), 256 blocks in
// AVX2 registers, 512 blocks in AVX-512 registers.
enum class Path { Table, Portable, Avx2, Avx512 };

// The widest path this processor offers: Portable where it has neither vector
// extension, on other architectures, and when QUILLHORN_PORTABLE is set.
Path Supported();

// Test hook: no path wider than `widest` is used. The default, Avx512, leaves
// the choice to the processor; Table turns the bitsliced code off.
void SetWidestPath(Path widest);

// The path Process uses now: the narrower of Supported() and the test hook's.
Path Active();

// Blocks of one slice of `path` (0 for Table), and the fewest blocks for which
// Process takes a slice rather than leaving them to the table code.
std::size_t SliceBlocks(Path path);
std::size_t SliceFrom(Path path);

// Enciphers (or deciphers) blocks from the start of `data` in place with the
// active path, under the round keys of DesSchedule (its packed form: for round
// r, subkeys[2r] holds the six-bit groups of S-boxes 1, 3, 5, 7 in its bytes
// from the most significant down, subkeys[2r + 1] those of S-boxes 2, 4, 6, 8).
// Returns how many blocks it did: the whole slices, and a remainder of at
// least SliceFrom blocks through a slice of its own. The caller does the
// blocks after them with the table code.
std::size_t Process(std::uint8_t* data, std::size_t blocks, const std::uint32_t* subkeys);

} // namespace qh::des_slice

#endif
