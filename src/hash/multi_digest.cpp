#include "multi_digest.h"

#include "cpu_features.h"
#include "input_file.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace qh {
namespace {

// Buffers the reader may fill ahead of the helper.
constexpr std::size_t kSlots = 4;

// What digesting one byte costs, in tenths of a nanosecond, as measured on a
// current x86 core; only the ratios matter. The SHA instructions make SHA-1
// and SHA-256 cheap, carry-less multiplication the CRCs nearly free.
int costOf(DigestAlgorithm algorithm) {
    const CpuFeatures& cpu = GetCpuFeatures();
    const bool shaInstructions = cpu.sha && cpu.sse41 && cpu.ssse3;
    const bool folding = cpu.pclmul && cpu.sse41 && cpu.ssse3;
    switch (algorithm) {
    case DigestAlgorithm::Md5:
        return 14;
    case DigestAlgorithm::Sha1:
        return shaInstructions ? 6 : 10;
    case DigestAlgorithm::Sha224:
    case DigestAlgorithm::Sha256:
        return shaInstructions ? 7 : 24;
    case DigestAlgorithm::Sha384:
    case DigestAlgorithm::Sha512:
        return 12;
    default: // the CRCs
        return folding ? 1 : 5;
    }
}

// Copying a buffer out of the page cache, which the reading thread does.
constexpr int kReadCost = 2;

// The helper thread and the hand-over of buffers: the reader publishes each
// buffer it has filled, the helper digests the published ones in order, and
// the reader waits before refilling a buffer the helper has not finished.
class Helper {
public:
    Helper(std::vector<AnyDigest*> engines, const std::array<std::unique_ptr<std::uint8_t[]>, kSlots>& slots)
        : engines_(std::move(engines)), slots_(slots), thread_([this] { run(); }) {}
    ~Helper() { finish(); }

    // The buffer the reader fills next, once the helper is done with it.
    std::uint8_t* nextFree() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return published_ - consumed_ < kSlots; });
        return slots_[published_ % kSlots].get();
    }
    // The buffer nextFree gave now holds `length` bytes.
    void publish(std::size_t length) {
        {
            const std::lock_guard lock(mutex_);
            lengths_[published_ % kSlots] = length;
            ++published_;
        }
        changed_.notify_all();
    }
    // Waits until every published buffer is digested.
    void finish() {
        if (!thread_.joinable())
            return;
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return consumed_ < published_ || done_; });
            if (consumed_ == published_)
                return;
            const std::size_t slot = consumed_ % kSlots;
            const std::size_t length = lengths_[slot];
            lock.unlock();
            for (AnyDigest* engine : engines_)
                engine->Update(slots_[slot].get(), length);
            lock.lock();
            ++consumed_;
            changed_.notify_all();
        }
    }

    std::vector<AnyDigest*> engines_;
    const std::array<std::unique_ptr<std::uint8_t[]>, kSlots>& slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::array<std::size_t, kSlots> lengths_{};
    std::uint64_t published_ = 0;
    std::uint64_t consumed_ = 0;
    bool done_ = false;
    std::thread thread_; // last: it starts once everything above stands
};

} // namespace

std::vector<std::size_t> HelperEngines(std::span<const DigestAlgorithm> algorithms, unsigned cores) {
    const std::size_t n = algorithms.size();
    if (cores < 2 || n == 0 || n > 16)
        return {};
    std::vector<int> costs;
    int total = 0;
    for (DigestAlgorithm algorithm : algorithms) {
        costs.push_back(costOf(algorithm));
        total += costs.back();
    }
    // Every split, the reading thread's share counting the reading.
    const int serial = total + kReadCost;
    int best = serial;
    unsigned bestMask = 0;
    for (unsigned mask = 1; mask < (1u << n); ++mask) {
        int helper = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (mask & (1u << i))
                helper += costs[i];
        const int longer = std::max(helper, serial - helper);
        if (longer < best) {
            best = longer;
            bestMask = mask;
        }
    }
    // A thread that saves less than a fifth of the time is not worth its keep.
    if (best * 5 > serial * 4)
        return {};
    std::vector<std::size_t> helper;
    for (std::size_t i = 0; i < n; ++i)
        if (bestMask & (1u << i))
            helper.push_back(i);
    return helper;
}

PassResult DigestStream(std::span<const DigestAlgorithm> algorithms, const ReadSome& read, Progress* progress,
                        std::size_t chunkLength) {
    const std::size_t chunk = chunkLength == 0 ? kPassChunkLength : chunkLength;

    // One engine per distinct algorithm.
    std::vector<DigestAlgorithm> distinct;
    std::vector<std::size_t> engineOf;
    for (DigestAlgorithm algorithm : algorithms) {
        const auto found = std::find(distinct.begin(), distinct.end(), algorithm);
        engineOf.push_back(static_cast<std::size_t>(found - distinct.begin()));
        if (found == distinct.end())
            distinct.push_back(algorithm);
    }
    std::vector<AnyDigest> engines(distinct.begin(), distinct.end());
    const std::vector<std::size_t> helperIndexes = HelperEngines(distinct, std::thread::hardware_concurrency());
    std::vector<AnyDigest*> all, own, theirs;
    for (std::size_t i = 0; i < engines.size(); ++i) {
        all.push_back(&engines[i]);
        const bool helped = std::find(helperIndexes.begin(), helperIndexes.end(), i) != helperIndexes.end();
        (helped ? theirs : own).push_back(&engines[i]);
    }

    // The first buffer serves alone until the input proves longer than it.
    std::array<std::unique_ptr<std::uint8_t[]>, kSlots> slots;
    slots[0] = std::make_unique_for_overwrite<std::uint8_t[]>(chunk);
    std::unique_ptr<Helper> helper;
    PassResult result;
    for (;;) {
        if (IsCancelled(progress)) {
            result.status = PassStatus::Cancelled;
            break;
        }
        std::uint8_t* buffer = helper ? helper->nextFree() : slots[0].get();
        const long long got = read(buffer, chunk);
        if (got < 0) {
            result.status = PassStatus::ReadError;
            break;
        }
        if (got == 0)
            break;
        const auto length = static_cast<std::size_t>(got);
        result.bytes += length;
        if (!helper && !theirs.empty() && result.bytes > chunk) {
            for (std::size_t i = 1; i < kSlots; ++i)
                slots[i] = std::make_unique_for_overwrite<std::uint8_t[]>(chunk);
            helper = std::make_unique<Helper>(theirs, slots);
            buffer = helper->nextFree(); // slots[0], where the bytes are
        }
        if (helper)
            helper->publish(length);
        for (AnyDigest* engine : helper ? own : all)
            engine->Update(buffer, length);
        AddProgress(progress, length);
    }
    if (helper)
        helper->finish();
    if (result.status != PassStatus::Ok)
        return result;
    std::vector<std::string> finished;
    for (AnyDigest& engine : engines)
        finished.push_back(engine.Finish());
    for (std::size_t index : engineOf)
        result.digests.push_back(finished[index]);
    return result;
}

PassResult DigestFile(const std::string& path, std::span<const DigestAlgorithm> algorithms, Progress* progress) {
    InputFile file(path);
    if (!file.IsOpen()) {
        PassResult result;
        result.status = PassStatus::CannotOpen;
        return result;
    }
    return DigestStream(
        algorithms, [&file](std::uint8_t* to, std::size_t length) { return file.Read(to, length); }, progress);
}

} // namespace qh
