// The progress of a long operation, shared between the thread that does the
// work and the one that shows it: the engine adds what it has done and looks
// at the cancel flag now and then (every few MiB, every block); the window
// reads the counters on a timer. Plain atomics, so reporting costs an engine
// next to nothing and neither side waits for the other.
#ifndef QUILLHORN_PROGRESS_H
#define QUILLHORN_PROGRESS_H

#include <atomic>
#include <cstdint>

namespace qh {

struct Progress {
    std::atomic<std::uint64_t> done{0};  // bytes, blocks or steps done so far
    std::atomic<std::uint64_t> total{0}; // the whole, in the same unit; 0 when unknown
    std::atomic<bool> cancelled{false};  // set by the caller: stop at the next check

    void SetTotal(std::uint64_t whole) { total.store(whole, std::memory_order_relaxed); }
    void Add(std::uint64_t amount) { done.fetch_add(amount, std::memory_order_relaxed); }
    bool Cancelled() const { return cancelled.load(std::memory_order_relaxed); }
    void Cancel() { cancelled.store(true, std::memory_order_relaxed); }
};

// For engines whose caller may pass no Progress.
inline void AddProgress(Progress* progress, std::uint64_t amount) {
    if (progress)
        progress->Add(amount);
}
inline bool IsCancelled(const Progress* progress) {
    return progress && progress->Cancelled();
}

} // namespace qh

#endif
