#include "rsa_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <utility>
#include <vector>

namespace qh {

namespace {

IRsaComponent* g_component = nullptr;

bool HasNul(const std::string& s) {
    return s.find('\0') != std::string::npos;
}

bool AnyHasNul(std::initializer_list<const std::string*> strings) {
    for (const std::string* s : strings)
        if (HasNul(*s))
            return true;
    return false;
}

std::string ExecutableFolder() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t len = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (len < 0)
            return {};
        if (static_cast<std::size_t>(len) < buffer.size()) {
            const std::string path(buffer.data(), static_cast<std::size_t>(len));
            return path.substr(0, path.rfind('/'));
        }
        buffer.resize(buffer.size() * 2); // the link may have been cut short
    }
}

std::string DlError() {
    const char* text = ::dlerror();
    return text != nullptr ? text : "unknown dynamic loader error";
}

// Calls a method that writes text into a caller buffer, starting with room
// for `guess` characters and retrying with the length that the component
// asks for.
template <typename Call> RsaResult CallForText(std::size_t guess, Call&& call) {
    std::string buffer(guess + 1, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::size_t len = 0;
        const int status = call(buffer.data(), buffer.size(), &len);
        if (status == QH_RSA_E_BUFFER && len >= buffer.size() && len < buffer.max_size()) {
            buffer.assign(len + 1, '\0');
            continue;
        }
        if (status != QH_RSA_OK)
            return {status, {}};
        buffer.resize(len);
        return {QH_RSA_OK, std::move(buffer)};
    }
    return {QH_RSA_E_BUFFER, {}};
}

template <typename Call> RsaAnswer CallForAnswer(Call&& call) {
    int yes = 0;
    const int status = call(&yes);
    return {status, status == QH_RSA_OK && yes != 0};
}

// Room for numbers of up to 4096 bits before a retry is needed.
constexpr std::size_t kNumberGuess = 1024;

int ReportToRecord(void* context, std::uint64_t done, std::uint64_t total) {
    auto* progress = static_cast<Progress*>(context);
    progress->SetTotal(total);
    progress->done.store(done, std::memory_order_relaxed);
    return progress->Cancelled() ? 1 : 0;
}

// The component's report record over a Progress record; no report function without one.
QhRsaProgress ReportTo(Progress* progress) {
    return {progress != nullptr ? ReportToRecord : nullptr, progress};
}

} // namespace

std::string FindRsaComponent(const std::string& executableFolder) {
    const std::string installed = std::string(QH_RSA_COMPONENT_DIR) + "/" + kQhRsaComponentFileName;
    if (executableFolder.empty())
        return installed;
    const std::filesystem::path folder(executableFolder);
    // Beside the executable first: the build tree puts everything in one folder.
    // Then where an installation keeps it, counted from the installed bin folder,
    // so that a tree moved or staged elsewhere still finds its own component.
    const std::filesystem::path candidates[] = {
        folder / kQhRsaComponentFileName,
        (folder / QH_RSA_COMPONENT_DIR_FROM_BIN / kQhRsaComponentFileName).lexically_normal(),
    };
    for (const std::filesystem::path& candidate : candidates)
        if (::access(candidate.c_str(), F_OK) == 0)
            return candidate.string();
    return installed;
}

std::string DefaultRsaComponentPath() {
    return FindRsaComponent(ExecutableFolder());
}

RsaComponentLoader::~RsaComponentLoader() {
    unload();
}

RsaLoadResult RsaComponentLoader::load(const std::string& path) {
    unload();
    error_.clear();
    if (HasNul(path)) {
        error_ = "the path holds a NUL character";
        return RsaLoadResult::NotLoadable;
    }
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        error_ = DlError();
        return RsaLoadResult::NotLoadable;
    }
    ::dlerror(); // clear any stale error, so that the one read below is dlsym's
    auto create = reinterpret_cast<QhRsaCreateInstanceFn>(::dlsym(handle_, kQhRsaCreateInstanceSymbol));
    if (create == nullptr) {
        error_ = DlError();
        unload();
        return RsaLoadResult::NoEntryPoint;
    }
    void* unknown = nullptr;
    int status = create(&CLSID_QhRsaComponent, &IID_IQhUnknown, &unknown);
    if (status != QH_RSA_OK || unknown == nullptr) {
        error_ = "QhRsaCreateInstance failed with status " + std::to_string(status);
        unload();
        return RsaLoadResult::CreationFailed;
    }
    void* component = nullptr;
    status = static_cast<IQhUnknown*>(unknown)->QueryInterface(IID_IRsaComponent, &component);
    static_cast<IQhUnknown*>(unknown)->Release();
    if (status != QH_RSA_OK || component == nullptr) {
        error_ = "the component offers no IRsaComponent (status " + std::to_string(status) + ")";
        unload();
        return RsaLoadResult::NoInterface;
    }
    component_ = static_cast<IRsaComponent*>(component);
    return RsaLoadResult::Loaded;
}

void RsaComponentLoader::unload() {
    if (component_ != nullptr) {
        component_->Release();
        component_ = nullptr;
    }
    if (handle_ != nullptr) {
        ::dlclose(handle_);
        handle_ = nullptr;
    }
}

IRsaComponent* RsaComponent() {
    return g_component;
}

void SetRsaComponent(IRsaComponent* component) {
    g_component = component;
}

// The object's second interface is held without a reference of its own: it
// lives exactly as long as the IRsaComponent the caller lends this client.
RsaClient::RsaClient(IRsaComponent& component) : c_(component) {
    void* second = nullptr;
    if (c_.QueryInterface(IID_IRsaComponent2, &second) == QH_RSA_OK && second != nullptr) {
        c2_ = static_cast<IRsaComponent2*>(second);
        c2_->Release();
    }
}

RsaResult RsaClient::randomPrime(int words, Progress* progress) {
    return randomPrime(words, ReportTo(progress));
}

RsaResult RsaClient::randomPrime(int words, const QhRsaProgress& progress) {
    const bool reporting = c2_ != nullptr && progress.report != nullptr;
    return CallForText(kNumberGuess, [&](char* out, std::size_t size, std::size_t* len) {
        return reporting ? c2_->RandomPrimeWithProgress(words, &progress, out, size, len)
                         : c_.RandomPrime(words, out, size, len);
    });
}

RsaAnswer RsaClient::isPrime(const std::string& x) {
    if (HasNul(x))
        return {QH_RSA_E_NUMBER, false};
    return CallForAnswer([&](int* yes) { return c_.IsPrime(x.c_str(), yes); });
}

RsaResult RsaClient::multiply(const std::string& p, const std::string& q) {
    if (AnyHasNul({&p, &q}))
        return {QH_RSA_E_NUMBER, {}};
    return CallForText(p.size() + q.size(), [&](char* out, std::size_t size, std::size_t* len) {
        return c_.Multiply(p.c_str(), q.c_str(), out, size, len);
    });
}

RsaResult RsaClient::randomExponent() {
    return CallForText(
        kNumberGuess, [&](char* out, std::size_t size, std::size_t* len) { return c_.RandomExponent(out, size, len); });
}

RsaResult RsaClient::inverseModPhi(const std::string& p, const std::string& q, const std::string& x) {
    if (AnyHasNul({&p, &q, &x}))
        return {QH_RSA_E_NUMBER, {}};
    return CallForText(p.size() + q.size(), [&](char* out, std::size_t size, std::size_t* len) {
        return c_.InverseModPhi(p.c_str(), q.c_str(), x.c_str(), out, size, len);
    });
}

RsaResult RsaClient::powerMod(const std::string& n, const std::string& k, const std::string& x) {
    if (AnyHasNul({&n, &k, &x}))
        return {QH_RSA_E_NUMBER, {}};
    return CallForText(n.size(), [&](char* out, std::size_t size, std::size_t* len) {
        return c_.PowerMod(n.c_str(), k.c_str(), x.c_str(), out, size, len);
    });
}

RsaResult RsaClient::encryptInteger(const std::string& n, const std::string& e, const std::string& x) {
    if (AnyHasNul({&n, &e, &x}))
        return {QH_RSA_E_NUMBER, {}};
    return CallForText(n.size(), [&](char* out, std::size_t size, std::size_t* len) {
        return c_.EncryptInteger(n.c_str(), e.c_str(), x.c_str(), out, size, len);
    });
}

RsaResult RsaClient::decryptInteger(const std::string& n, const std::string& d, const std::string& y) {
    if (AnyHasNul({&n, &d, &y}))
        return {QH_RSA_E_NUMBER, {}};
    return CallForText(n.size(), [&](char* out, std::size_t size, std::size_t* len) {
        return c_.DecryptInteger(n.c_str(), d.c_str(), y.c_str(), out, size, len);
    });
}

RsaResult RsaClient::encryptString(const std::string& n, const std::string& e, const std::string& plaintext,
                                   Progress* progress) {
    if (AnyHasNul({&n, &e}))
        return {QH_RSA_E_NUMBER, {}};
    const auto* text = reinterpret_cast<const unsigned char*>(plaintext.data());
    const QhRsaProgress report = ReportTo(progress);
    const bool reporting = c2_ != nullptr && progress != nullptr;
    // The component answers a short buffer with the length needed before any
    // work, so a small first guess costs nothing and the work is done once.
    return CallForText(kNumberGuess, [&](char* out, std::size_t size, std::size_t* len) {
        return reporting ? c2_->EncryptStringWithProgress(n.c_str(), e.c_str(), text, plaintext.size(), &report, out,
                                                          size, len)
                         : c_.EncryptString(n.c_str(), e.c_str(), text, plaintext.size(), out, size, len);
    });
}

RsaResult RsaClient::decryptString(const std::string& n, const std::string& d, const std::string& ciphertext,
                                   Progress* progress) {
    if (AnyHasNul({&n, &d}))
        return {QH_RSA_E_NUMBER, {}};
    if (HasNul(ciphertext))
        return {QH_RSA_E_FORMAT, {}};
    const QhRsaProgress report = ReportTo(progress);
    const bool reporting = c2_ != nullptr && progress != nullptr;
    // Two digits make at most one byte of plaintext, so one call is enough.
    return CallForText(ciphertext.size() / 2, [&](char* out, std::size_t size, std::size_t* len) {
        auto* bytes = reinterpret_cast<unsigned char*>(out);
        return reporting
                   ? c2_->DecryptStringWithProgress(n.c_str(), d.c_str(), ciphertext.c_str(), &report, bytes, size, len)
                   : c_.DecryptString(n.c_str(), d.c_str(), ciphertext.c_str(), bytes, size, len);
    });
}

int RsaClient::encryptFile(const std::string& n, const std::string& e, const std::string& inputPath,
                           const std::string& outputPath, Progress* progress) {
    if (AnyHasNul({&n, &e}))
        return QH_RSA_E_NUMBER;
    if (HasNul(inputPath))
        return QH_RSA_E_OPEN_INPUT;
    if (HasNul(outputPath))
        return QH_RSA_E_OPEN_OUTPUT;
    if (c2_ == nullptr || progress == nullptr)
        return c_.EncryptFile(n.c_str(), e.c_str(), inputPath.c_str(), outputPath.c_str());
    const QhRsaProgress report = ReportTo(progress);
    return c2_->EncryptFileWithProgress(n.c_str(), e.c_str(), inputPath.c_str(), outputPath.c_str(), &report);
}

int RsaClient::decryptFile(const std::string& n, const std::string& d, const std::string& inputPath,
                           const std::string& outputPath, Progress* progress) {
    if (AnyHasNul({&n, &d}))
        return QH_RSA_E_NUMBER;
    if (HasNul(inputPath))
        return QH_RSA_E_OPEN_INPUT;
    if (HasNul(outputPath))
        return QH_RSA_E_OPEN_OUTPUT;
    if (c2_ == nullptr || progress == nullptr)
        return c_.DecryptFile(n.c_str(), d.c_str(), inputPath.c_str(), outputPath.c_str());
    const QhRsaProgress report = ReportTo(progress);
    return c2_->DecryptFileWithProgress(n.c_str(), d.c_str(), inputPath.c_str(), outputPath.c_str(), &report);
}

RsaAnswer RsaClient::isCoprimeToPhi(const std::string& p, const std::string& q, const std::string& x) {
    if (AnyHasNul({&p, &q, &x}))
        return {QH_RSA_E_NUMBER, false};
    return CallForAnswer([&](int* yes) { return c_.IsCoprimeToPhi(p.c_str(), q.c_str(), x.c_str(), yes); });
}

} // namespace qh
