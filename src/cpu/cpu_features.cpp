#include "cpu_features.h"

#include <cstdlib>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace qh {
namespace {

CpuFeatures Detect() {
    CpuFeatures features;
    const char* portable = std::getenv("QUILLHORN_PORTABLE");
    if (portable && *portable)
        return features;
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    bool osSavesYmm = false, osSavesZmm = false;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        features.pclmul = (ecx & (1u << 1)) != 0;
        features.ssse3 = (ecx & (1u << 9)) != 0;
        features.sse41 = (ecx & (1u << 19)) != 0;
        if ((ecx & (1u << 27)) != 0) { // OSXSAVE: XGETBV tells which registers the system saves
            unsigned low = 0, high = 0;
            __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
            osSavesYmm = (low & 0x6) == 0x6;
            osSavesZmm = (low & 0xE6) == 0xE6;
        }
    }
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
        features.avx2 = osSavesYmm && (ebx & (1u << 5)) != 0;
        features.bmi2 = (ebx & (1u << 8)) != 0;
        features.sha = (ebx & (1u << 29)) != 0;
        const bool f = (ebx & (1u << 16)) != 0, bw = (ebx & (1u << 30)) != 0, vl = (ebx & (1u << 31)) != 0;
        features.avx512 = osSavesZmm && f && bw && vl;
        features.avx512vbmi = features.avx512 && (ecx & (1u << 1)) != 0;
        features.gfni = (ecx & (1u << 8)) != 0;
        features.vpclmul = osSavesYmm && (ecx & (1u << 10)) != 0;
    }
#endif
    return features;
}

} // namespace

const CpuFeatures& GetCpuFeatures() {
    static const CpuFeatures features = Detect();
    return features;
}

} // namespace qh
