// What the processor offers beyond the baseline, checked once at run time, so
// that the algorithms can pick an accelerated form and fall back to portable
// code elsewhere.
#ifndef QUILLHORN_CPU_FEATURES_H
#define QUILLHORN_CPU_FEATURES_H

namespace qh {

// Each flag is set only when the processor has the instructions and the
// operating system saves the registers they use (XSAVE state: the YMM
// registers for AVX2, the ZMM and mask registers for AVX-512).
struct CpuFeatures {
    bool sse41 = false;
    bool ssse3 = false;
    bool pclmul = false; // carry-less multiplication (PCLMULQDQ)
    bool sha = false;    // SHA-1 and SHA-256 instructions (SHA-NI)
    bool avx2 = false;
    bool bmi2 = false;
    bool avx512 = false;     // AVX-512 F, BW and VL together
    bool avx512vbmi = false; // byte permutes (VPERMB, VPERMI2B, VPMULTISHIFTQB)
    bool vpclmul = false;    // carry-less multiplication on 256- and 512-bit vectors
    bool gfni = false;       // Galois-field affine byte transforms
};

// The features of this processor; all false on other architectures. Setting
// the environment variable QUILLHORN_PORTABLE to a non-empty value turns every
// feature off (tests use it to exercise the portable code).
const CpuFeatures& GetCpuFeatures();

} // namespace qh

#endif
