// Each algorithm over 64 MiB in memory, beside the reference implementation of
// the same algorithm (OpenSSL's EVP digests, zlib's crc32) in the same run;
// CRC-32 has libdeflate's crc32 as a second reference, and the CRC-16
// variants our portable tables. Names: memory/ALGORITHM/quillhorn,
// memory/ALGORITHM/reference, memory/crc32/libdeflate and
// memory/ALGORITHM/slicing.
#include "bench_data.h"
#include "crc.h"
#include "crc_internal.h"
#include "md5.h"
#include "sha.h"

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <openssl/evp.h>
#include <string>
#include <string_view>
#include <zlib.h>

namespace qh::bench {
namespace {

using Body = void (*)(benchmark::State&);

template <typename Compute> void run(benchmark::State& state, Compute compute) {
    for (auto _ : state) {
        auto result = compute(InputBytes(), kInputLength);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kInputLength));
}

template <ShaVariant variant> void ours(benchmark::State& state) {
    run(state, [](const std::uint8_t* data, std::size_t length) {
        std::uint8_t digest[64];
        ShaBuffer(variant, std::string_view(reinterpret_cast<const char*>(data), length), digest);
        return digest[0];
    });
}

void oursMd5(benchmark::State& state) {
    run(state, [](const std::uint8_t* data, std::size_t length) {
        Md5 md5;
        md5.Update(data, length);
        return md5.Finish();
    });
}

template <typename Crc> void oursCrc(benchmark::State& state) {
    run(state,
        [](const std::uint8_t* data, std::size_t length) { return Crc::Final(Crc::Update(Crc::kInit, data, length)); });
}

// The CRC on our portable tables alone (slicing by 16): what the CRC-16
// variants, which no library offers, are measured against.
template <typename Crc> void slicingCrc(benchmark::State& state) {
    crc_detail::SetWidestPath(crc_detail::CrcPath::Tables);
    oursCrc<Crc>(state);
    crc_detail::SetWidestPath(crc_detail::kWidestPath);
}

// OpenSSL's digest, fetched once so that the run measures the digest alone.
template <const char* name> void openssl(benchmark::State& state) {
    EVP_MD* md = EVP_MD_fetch(nullptr, name, nullptr);
    if (!md) {
        state.SkipWithError("OpenSSL has no such digest");
        return;
    }
    run(state, [md](const std::uint8_t* data, std::size_t length) {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int size = 0;
        EVP_Digest(data, length, digest, &size, md, nullptr);
        return digest[0];
    });
    EVP_MD_free(md);
}

void zlibCrc32(benchmark::State& state) {
    run(state, [](const std::uint8_t* data, std::size_t length) { return crc32_z(0, data, length); });
}

void libdeflateCrc32(benchmark::State& state) {
    run(state, [](const std::uint8_t* data, std::size_t length) { return libdeflate_crc32(0, data, length); });
}

constexpr char kMd5[] = "MD5", kSha1[] = "SHA1", kSha224[] = "SHA224", kSha256[] = "SHA256", kSha384[] = "SHA384",
               kSha512[] = "SHA512";

struct Entry {
    const char* name; // ALGORITHM/IMPLEMENTATION
    Body body;
};

const Entry kEntries[] = {
    {"md5/quillhorn", oursMd5},
    {"md5/reference", openssl<kMd5>},
    {"sha1/quillhorn", ours<ShaVariant::Sha1>},
    {"sha1/reference", openssl<kSha1>},
    {"sha224/quillhorn", ours<ShaVariant::Sha224>},
    {"sha224/reference", openssl<kSha224>},
    {"sha256/quillhorn", ours<ShaVariant::Sha256>},
    {"sha256/reference", openssl<kSha256>},
    {"sha384/quillhorn", ours<ShaVariant::Sha384>},
    {"sha384/reference", openssl<kSha384>},
    {"sha512/quillhorn", ours<ShaVariant::Sha512>},
    {"sha512/reference", openssl<kSha512>},
    {"crc16/quillhorn", oursCrc<Crc16Arc>},
    {"crc16/slicing", slicingCrc<Crc16Arc>},
    {"crc-ccitt/quillhorn", oursCrc<CrcCcittFalse>},
    {"crc-ccitt/slicing", slicingCrc<CrcCcittFalse>},
    {"crc32/quillhorn", oursCrc<Crc32IsoHdlc>},
    {"crc32/reference", zlibCrc32},
    {"crc32/libdeflate", libdeflateCrc32},
};

int registerAll() {
    for (const Entry& entry : kEntries)
        benchmark::RegisterBenchmark((std::string("memory/") + entry.name).c_str(), entry.body)
            ->Unit(benchmark::kMillisecond);
    return 0;
}

const int registered = registerAll();

} // namespace
} // namespace qh::bench
