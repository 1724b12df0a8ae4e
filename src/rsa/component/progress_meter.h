// The caller's progress report (QhRsaProgress) during one long call of the
// component: the work done and the whole, reported now and then, and the
// caller's answer whether to go on. Without a report function nothing is
// reported and nothing stops, so the methods without progress share the code.
#ifndef QUILLHORN_RSA_COMPONENT_PROGRESS_METER_H
#define QUILLHORN_RSA_COMPONENT_PROGRESS_METER_H

#include "rsa_component.h"

#include <openssl/bn.h>

#include <cstdint>

namespace qh::rsa {

class ProgressMeter {
public:
    explicit ProgressMeter(const QhRsaProgress* progress)
        : progress_(progress != nullptr && progress->report != nullptr ? progress : nullptr) {}

    bool active() const { return progress_ != nullptr; }
    void setTotal(std::uint64_t total) { total_ = total; }
    // Reports on every `calls`-th call of advance (at least every one).
    void setInterval(std::uint64_t calls) { interval_ = calls > 0 ? calls : 1; }

    // Counts `amount` more units done without reporting.
    void add(std::uint64_t amount) { done_ += amount; }
    // Counts `amount` more units done and reports when the interval is full.
    // False once the caller asked to stop.
    bool advance(std::uint64_t amount) {
        done_ += amount;
        if (++sinceReport_ < interval_)
            return !stopped_;
        return report();
    }
    // Reports now; false once the caller asked to stop (then it reports no more).
    bool report() {
        sinceReport_ = 0;
        if (progress_ == nullptr || stopped_)
            return !stopped_;
        stopped_ = progress_->report(progress_->context, done_, total_) != 0;
        lastReported_ = done_;
        return !stopped_;
    }
    // The last report, with done = total, unless the last one already said so.
    bool finish() {
        done_ = total_;
        return lastReported_ == done_ && sinceReport_ == 0 ? !stopped_ : report();
    }
    bool stopped() const { return stopped_; }

private:
    const QhRsaProgress* progress_;
    std::uint64_t done_ = 0;
    std::uint64_t total_ = 0;
    std::uint64_t interval_ = 1;
    std::uint64_t sinceReport_ = 0;
    std::uint64_t lastReported_ = ~std::uint64_t{0};
    bool stopped_ = false;
};

// libcrypto's callback during a prime search or a prime test, reporting to a
// meter: a new candidate (event 0) counts one done, every other event (a round
// of the test) reports again. When the caller asks to stop, the callback
// returns 0, which makes libcrypto give up; meter.stopped() then tells that
// apart from a failure.
class PrimeCallback {
public:
    explicit PrimeCallback(ProgressMeter& meter);
    ~PrimeCallback();
    PrimeCallback(const PrimeCallback&) = delete;
    PrimeCallback& operator=(const PrimeCallback&) = delete;

    // Null when the meter reports nothing: libcrypto then runs without a callback.
    BN_GENCB* get() const { return callback_; }

private:
    BN_GENCB* callback_ = nullptr;
};

} // namespace qh::rsa

#endif
