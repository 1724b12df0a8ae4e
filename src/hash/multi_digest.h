// Several digests of one input in one pass: one reader fills a few buffers in
// turn and every engine digests each buffer, so the input is read once however
// many digests are asked for.
//
// On a processor with two or more cores the engines are split in two groups of
// about equal cost (reading counts towards the reader's group): the reading
// thread digests its group, a helper thread the other, both from the same
// buffers, which the helper only reads. A buffer is refilled once both are done
// with it; the reader may run up to a few buffers ahead. Where the split would
// gain little (one engine, or one far dearer than the rest), or the input is
// smaller than two buffers, everything runs on the reading thread.
#ifndef QUILLHORN_MULTI_DIGEST_H
#define QUILLHORN_MULTI_DIGEST_H

#include "digest_algorithm.h"
#include "progress.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace qh {

// Reads the next bytes of the input into `to`, at most `length`: the count
// read, 0 at the end, -1 on a read error.
using ReadSome = std::function<long long(std::uint8_t* to, std::size_t length)>;

enum class PassStatus { Ok, CannotOpen, ReadError, Cancelled };

struct PassResult {
    PassStatus status = PassStatus::Ok;
    std::uint64_t bytes = 0;          // the bytes digested
    std::vector<std::string> digests; // digest bytes in the order of the algorithms asked for; empty unless Ok
};

// The bytes of one buffer: large enough that handing a buffer over costs
// nothing that counts, small enough that it is still in the processor's cache
// when the second group digests it.
inline constexpr std::size_t kPassChunkLength = 256 * 1024;

// Digests everything `read` gives with every algorithm (an algorithm named
// twice is computed once). `progress` (may be null) counts the bytes read and
// is looked at after every buffer. `chunkLength` 0 means kPassChunkLength;
// tests use small ones.
PassResult DigestStream(std::span<const DigestAlgorithm> algorithms, const ReadSome& read, Progress* progress = nullptr,
                        std::size_t chunkLength = 0);

// The same for the file at `path`: CannotOpen when it cannot be opened
// (missing, unreadable, a folder).
PassResult DigestFile(const std::string& path, std::span<const DigestAlgorithm> algorithms,
                      Progress* progress = nullptr);

// Which engines the helper thread runs, as indexes into `algorithms`: empty
// when everything is better done on the reading thread.
std::vector<std::size_t> HelperEngines(std::span<const DigestAlgorithm> algorithms, unsigned cores);

} // namespace qh

#endif
