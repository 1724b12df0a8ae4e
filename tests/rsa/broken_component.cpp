// A library that looks like the RSA component but is broken in one way,
// chosen at compile time.
#include "rsa_component.h"

#include <atomic>

#if defined(QH_BROKEN_NO_ENTRY)

extern "C" int QhRsaSomethingElse() {
    return 0;
}

#else

namespace {

// Offers IQhUnknown only.
class BareObject final : public IQhUnknown {
public:
    int QueryInterface(const QhGuid& iid, void** out) override {
        if (!(iid == IID_IQhUnknown))
            return QH_RSA_E_NO_INTERFACE;
        *out = static_cast<IQhUnknown*>(this);
        AddRef();
        return QH_RSA_OK;
    }
    std::uint32_t AddRef() override { return ++refs_; }
    std::uint32_t Release() override {
        const std::uint32_t left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }

private:
    ~BareObject() = default;
    std::atomic<std::uint32_t> refs_{1};
};

} // namespace

extern "C" int QhRsaCreateInstance(const QhGuid* clsid, const QhGuid* iid, void** out) {
#if defined(QH_BROKEN_NO_CLASS)
    (void)clsid, (void)iid, (void)out;
    return QH_RSA_E_NO_CLASS;
#else
    if (!(*clsid == CLSID_QhRsaComponent))
        return QH_RSA_E_NO_CLASS;
    auto* object = new BareObject;
    const int status = object->QueryInterface(*iid, out);
    object->Release();
    return status;
#endif
}

#endif
