// A 64 MiB file digested as the panes digest files: MD5 through Md5File, the
// others through a FileSource handed to ShaCompute or CrcCalculator. The
// file is in the page cache after the first iteration, so the result compares
// with the same algorithm over memory. Names: file/ALGORITHM/quillhorn.
#include "bench_data.h"
#include "byte_source.h"
#include "crc.h"
#include "md5.h"
#include "sha.h"

#include <benchmark/benchmark.h>
#include <string>
#include <string_view>

namespace qh::bench {
namespace {

using Body = void (*)(benchmark::State&);

// Runs `compute` on the file; first checks that it gives what `memory` gives
// over the same bytes in memory, so a fast wrong path cannot pass unnoticed.
template <typename Compute, typename Memory> void run(benchmark::State& state, Compute compute, Memory memory) {
    const std::string& path = InputFilePath();
    if (compute(path) != memory(std::string_view(reinterpret_cast<const char*>(InputBytes()), kInputLength))) {
        state.SkipWithError("the file digest differs from the digest in memory");
        return;
    }
    for (auto _ : state) {
        auto result = compute(path);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kInputLength));
}

void md5File(benchmark::State& state) {
    run(
        state, [](const std::string& path) { return Md5File(path).value_or(""); },
        [](std::string_view bytes) { return Md5Buffer(bytes); });
}

// With `reported`, the digest counts its progress as the panes' workers do, so
// that the cost of reporting shows beside the same digest without it.
template <ShaVariant variant, bool reported = false> void shaFile(benchmark::State& state) {
    run(
        state,
        [](const std::string& path) {
            FileSource source(path);
            std::uint8_t digest[64];
            Progress progress;
            ShaCompute(variant, source, source.Size(), digest, reported ? &progress : nullptr);
            return std::string(reinterpret_cast<const char*>(digest), ShaDigestLength(variant));
        },
        [](std::string_view bytes) {
            std::uint8_t digest[64];
            ShaBuffer(variant, bytes, digest);
            return std::string(reinterpret_cast<const char*>(digest), ShaDigestLength(variant));
        });
}

template <typename Crc, auto member, bool reported = false> void crcFile(benchmark::State& state) {
    run(
        state,
        [](const std::string& path) {
            FileSource source(path);
            CrcCalculator calculator;
            Progress progress;
            return static_cast<std::uint32_t>(
                (calculator.*member)(source, source.Size(), reported ? &progress : nullptr));
        },
        [](std::string_view bytes) {
            return static_cast<std::uint32_t>(Crc::Final(Crc::Update(Crc::kInit, bytes.data(), bytes.size())));
        });
}

struct Entry {
    const char* algorithm;
    Body body;
};

const Entry kEntries[] = {
    {"md5", md5File},
    {"sha1", shaFile<ShaVariant::Sha1>},
    {"sha224", shaFile<ShaVariant::Sha224>},
    {"sha256", shaFile<ShaVariant::Sha256>},
    {"sha384", shaFile<ShaVariant::Sha384>},
    {"sha512", shaFile<ShaVariant::Sha512>},
    {"crc16", crcFile<Crc16Arc, &CrcCalculator::Crc16>},
    {"crc-ccitt", crcFile<CrcCcittFalse, &CrcCalculator::CrcCcitt>},
    {"crc32", crcFile<Crc32IsoHdlc, &CrcCalculator::Crc32>},
    {"sha256-progress", shaFile<ShaVariant::Sha256, true>},
    {"crc32-progress", crcFile<Crc32IsoHdlc, &CrcCalculator::Crc32, true>},
};

int registerAll() {
    for (const Entry& entry : kEntries)
        // Wall-clock time: what a user waits for, reads from the page cache
        // included.
        benchmark::RegisterBenchmark((std::string("file/") + entry.algorithm + "/quillhorn").c_str(), entry.body)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    return 0;
}

const int registered = registerAll();

} // namespace
} // namespace qh::bench
