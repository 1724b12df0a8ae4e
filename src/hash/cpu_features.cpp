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
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        features.pclmul = (ecx & (1u << 1)) != 0;
        features.ssse3 = (ecx & (1u << 9)) != 0;
        features.sse41 = (ecx & (1u << 19)) != 0;
    }
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
        features.avx2 = (ebx & (1u << 5)) != 0;
        features.sha = (ebx & (1u << 29)) != 0;
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
