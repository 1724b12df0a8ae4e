#include "progress_meter.h"

#include "bignum.h"

namespace qh::rsa {

namespace {

int OnPrimeEvent(int event, int, BN_GENCB* callback) {
    auto* meter = static_cast<ProgressMeter*>(BN_GENCB_get_arg(callback));
    return (event == 0 ? meter->advance(1) : meter->report()) ? 1 : 0;
}

} // namespace

PrimeCallback::PrimeCallback(ProgressMeter& meter) {
    if (!meter.active())
        return;
    callback_ = BN_GENCB_new();
    if (callback_ == nullptr)
        throw CryptoFailure();
    BN_GENCB_set(callback_, OnPrimeEvent, &meter);
}

PrimeCallback::~PrimeCallback() {
    BN_GENCB_free(callback_);
}

} // namespace qh::rsa
