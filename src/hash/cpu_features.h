// What the processor offers beyond the baseline, checked once at run time, so
// that the algorithms can pick an accelerated form and fall back to portable
// code elsewhere.
#ifndef QUILLHORN_CPU_FEATURES_H
#define QUILLHORN_CPU_FEATURES_H

namespace qh {

struct CpuFeatures {
    bool sse41 = false;
    bool ssse3 = false;
    bool pclmul = false; // carry-less multiplication (PCLMULQDQ)
    bool sha = false;    // SHA-1 and SHA-256 instructions (SHA-NI)
    bool avx2 = false;
};

// The features of this processor; all false on other architectures. Setting
// the environment variable QUILLHORN_PORTABLE to a non-empty value turns every
// feature off (tests use it to exercise the portable code).
const CpuFeatures& GetCpuFeatures();

} // namespace qh

#endif
