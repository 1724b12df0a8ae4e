// Finding, loading and calling the RSA component (libquillhorn-rsa.so).
//
// Start-up loads the component with RsaComponentLoader, publishes its
// interface with SetRsaComponent, and the RSA panes and the CLI reach it
// through RsaComponent(). RsaClient wraps the interface for C++ callers: it
// takes and returns std::string, handles the QH_RSA_E_BUFFER retry, and
// reports the long calls' progress to a Progress record.
#ifndef QUILLHORN_RSA_LOADER_H
#define QUILLHORN_RSA_LOADER_H

#include "progress.h"
#include "rsa_component.h"

#include <string>

namespace qh {

// The component for the running executable: FindRsaComponent from the folder
// that holds it.
std::string DefaultRsaComponentPath();

// The first of these that exists: the component beside an executable in
// `executableFolder`; the installed component folder (<libdir>/quillhorn) reached
// from that folder as from an installed bin folder, wherever the tree was
// installed or staged; and the component folder the build was configured to
// install to. When none exists, the last, so that a message names it.
std::string FindRsaComponent(const std::string& executableFolder);

// Which step of loading failed.
enum class RsaLoadResult {
    Loaded,
    NotLoadable,    // dlopen failed: missing file, not a library, unresolved symbols
    NoEntryPoint,   // the library exports no QhRsaCreateInstance
    CreationFailed, // QhRsaCreateInstance failed to create the object
    NoInterface,    // the object does not offer IRsaComponent
};

// Owns the loaded library and one reference to its IRsaComponent. Unloading
// releases the interface first and closes the library after.
class RsaComponentLoader {
public:
    RsaComponentLoader() = default;
    ~RsaComponentLoader();
    RsaComponentLoader(const RsaComponentLoader&) = delete;
    RsaComponentLoader& operator=(const RsaComponentLoader&) = delete;

    // Unloads whatever was loaded, then loads the component at `path`.
    RsaLoadResult load(const std::string& path);
    void unload();

    // Null unless the last load() succeeded.
    IRsaComponent* component() const { return component_; }
    // Why the last load() failed (dlerror text or the component's status), for logs.
    const std::string& errorText() const { return error_; }

private:
    void* handle_ = nullptr;
    IRsaComponent* component_ = nullptr;
    std::string error_;
};

// The process-wide component. Set once at start-up and cleared before the
// loader unloads (after every worker that may call it has finished); read by
// the RSA panes, their workers and the CLI.
IRsaComponent* RsaComponent();
void SetRsaComponent(IRsaComponent* component);

// A result of the component and its status; `value` is valid when ok().
struct RsaResult {
    int status = QH_RSA_E_INTERNAL;
    std::string value;
    bool ok() const { return status == QH_RSA_OK; }
};

// A yes/no answer of the component; `yes` is valid when ok().
struct RsaAnswer {
    int status = QH_RSA_E_INTERNAL;
    bool yes = false;
    bool ok() const { return status == QH_RSA_OK; }
};

// The component's methods with std::string numbers, texts and paths. Callers
// never pick buffer sizes. A string holding a NUL cannot cross the interface
// whole, so such a number, ciphertext or path is refused rather than cut short
// (QH_RSA_E_NUMBER, QH_RSA_E_FORMAT, QH_RSA_E_OPEN_INPUT / QH_RSA_E_OPEN_OUTPUT).
// Plaintexts of EncryptString and DecryptString are bytes and may hold NULs.
//
// The long calls take an optional Progress record, which may be read and
// cancelled from another thread while the call runs on its own: the component
// sets its total and done (bytes of strings and files; candidates tried for a
// prime, with a total of 0) now and then, and stops with QH_RSA_E_CANCELLED
// soon after Cancel(), leaving no output file and no result. A component
// without IRsaComponent2 (an older one) runs the plain methods: no reports,
// and no cancelling.
class RsaClient {
public:
    explicit RsaClient(IRsaComponent& component);

    RsaResult randomPrime(int words, Progress* progress = nullptr);
    // The same with the component's own report record, for callers that count
    // progress in steps of their own (GenerateKey).
    RsaResult randomPrime(int words, const QhRsaProgress& progress);
    RsaAnswer isPrime(const std::string& x);
    RsaResult multiply(const std::string& p, const std::string& q);
    RsaResult randomExponent();
    RsaResult inverseModPhi(const std::string& p, const std::string& q, const std::string& x);
    RsaResult powerMod(const std::string& n, const std::string& k, const std::string& x);
    RsaResult encryptInteger(const std::string& n, const std::string& e, const std::string& x);
    RsaResult encryptString(const std::string& n, const std::string& e, const std::string& plaintext,
                            Progress* progress = nullptr);
    int encryptFile(const std::string& n, const std::string& e, const std::string& inputPath,
                    const std::string& outputPath, Progress* progress = nullptr);
    RsaResult decryptInteger(const std::string& n, const std::string& d, const std::string& y);
    RsaResult decryptString(const std::string& n, const std::string& d, const std::string& ciphertext,
                            Progress* progress = nullptr);
    int decryptFile(const std::string& n, const std::string& d, const std::string& inputPath,
                    const std::string& outputPath, Progress* progress = nullptr);
    RsaAnswer isCoprimeToPhi(const std::string& p, const std::string& q, const std::string& x);

private:
    IRsaComponent& c_;
    IRsaComponent2* c2_ = nullptr; // the same object's second interface, when it has one
};

} // namespace qh

#endif
