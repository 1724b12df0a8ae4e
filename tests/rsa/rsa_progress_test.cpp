// Progress and cancelling of the long calls: reports that count up to their
// total, a stop from inside a report that leaves nothing behind, and the
// client over a component that has no progress interface.
#include "rsa_test_support.h"
#include "stub_rsa_component.h"

#include <cstring>
#include <utility>
#include <vector>

namespace qh::test {
namespace {

// Records every report and asks to stop once `stopAt` reports came (0: never).
struct Recorder {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;
    std::size_t stopAt = 0;
    bool stopHalfway = false; // or once half the total is done

    QhRsaProgress record() { return {&Report, this}; }

    static int Report(void* context, std::uint64_t done, std::uint64_t total) {
        auto* self = static_cast<Recorder*>(context);
        self->reports.emplace_back(done, total);
        return (self->stopAt != 0 && self->reports.size() >= self->stopAt) || (self->stopHalfway && 2 * done >= total);
    }

    // At least two reports (the start and the end), done never going back,
    // the same total throughout, and the last one done = total.
    void expectCountedUpTo(std::uint64_t total) const {
        ASSERT_GE(reports.size(), 2u);
        for (std::size_t i = 0; i < reports.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(reports[i].second, total);
            if (i > 0) {
                EXPECT_GE(reports[i].first, reports[i - 1].first);
            }
        }
        EXPECT_EQ(reports.back().first, total);
    }
};

class RsaProgress : public RsaTest {
protected:
    RsaProgress() {
        void* second = nullptr;
        EXPECT_EQ(rsa.QueryInterface(IID_IRsaComponent2, &second), QH_RSA_OK);
        rsa2 = static_cast<IRsaComponent2*>(second);
        rsa2->Release(); // the test's own reference keeps the object
    }

    IRsaComponent2* rsa2 = nullptr;
    ScratchFolder folder;
};

TEST_F(RsaProgress, ReportsCountUpToTheTotal) {
    const TestKey& key = FastKey(512);
    const std::string text = RandomBytes(200 * 1024);
    WriteFile(folder.path("plain"), text);

    Recorder sealing, opening;
    QhRsaProgress progress = sealing.record();
    ASSERT_EQ(rsa2->EncryptFileWithProgress(key.n.c_str(), key.e.c_str(), folder.path("plain").c_str(),
                                            folder.path("sealed").c_str(), &progress),
              QH_RSA_OK);
    sealing.expectCountedUpTo(text.size());
    EXPECT_GT(sealing.reports.size(), 4u);
    progress = opening.record();
    ASSERT_EQ(rsa2->DecryptFileWithProgress(key.n.c_str(), key.d.c_str(), folder.path("sealed").c_str(),
                                            folder.path("opened").c_str(), &progress),
              QH_RSA_OK);
    opening.expectCountedUpTo(ReadFile(folder.path("sealed")).size());
    EXPECT_TRUE(ReadFile(folder.path("opened")) == text);

    // Strings: a short buffer is answered before any work and any report, so
    // the call that follows with the length needed does the work once.
    Recorder encrypting;
    progress = encrypting.record();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t needed = 0;
    ASSERT_EQ(rsa2->EncryptStringWithProgress(key.n.c_str(), key.e.c_str(), bytes, text.size(), &progress, nullptr, 0,
                                              &needed),
              QH_RSA_E_BUFFER);
    EXPECT_TRUE(encrypting.reports.empty());
    std::string sealed(needed + 1, '\0');
    ASSERT_EQ(rsa2->EncryptStringWithProgress(key.n.c_str(), key.e.c_str(), bytes, text.size(), &progress,
                                              sealed.data(), sealed.size(), &needed),
              QH_RSA_OK);
    sealed.resize(needed);
    encrypting.expectCountedUpTo(text.size());

    Recorder decrypting;
    progress = decrypting.record();
    std::string opened(16, '\0');
    ASSERT_EQ(rsa2->DecryptStringWithProgress(key.n.c_str(), key.d.c_str(), sealed.c_str(), &progress,
                                              reinterpret_cast<unsigned char*>(opened.data()), opened.size(), &needed),
              QH_RSA_E_BUFFER);
    EXPECT_TRUE(decrypting.reports.empty());
    EXPECT_EQ(needed, text.size());

    // Through the client, into a Progress record.
    Progress record;
    const RsaResult viaClient = client.decryptString(key.n, key.d, sealed, &record);
    EXPECT_TRUE(viaClient.ok() && viaClient.value == text);
    EXPECT_EQ(record.total.load(), sealed.size() / 2);
    EXPECT_EQ(record.done.load(), record.total.load());
}

TEST_F(RsaProgress, StopFromAReportLeavesNothingBehind) {
    const TestKey& key = FastKey(512);
    const std::string text = RandomBytes(200 * 1024);
    WriteFile(folder.path("plain"), text);
    WriteFile(folder.path("existing"), "keep");
    const std::size_t entries = folder.entryCount();
    for (const char* output : {"new", "existing"}) {
        SCOPED_TRACE(output);
        Recorder halfway;
        halfway.stopHalfway = true;
        const QhRsaProgress progress = halfway.record();
        EXPECT_EQ(rsa2->EncryptFileWithProgress(key.n.c_str(), key.e.c_str(), folder.path("plain").c_str(),
                                                folder.path(output).c_str(), &progress),
                  QH_RSA_E_CANCELLED);
        ASSERT_FALSE(halfway.reports.empty());
        EXPECT_LT(halfway.reports.back().first, text.size()); // stopped part way, and no report after the stop
        EXPECT_GE(2 * halfway.reports.back().first, text.size());
        EXPECT_EQ(folder.entryCount(), entries); // no output, no temporary file
        EXPECT_EQ(ReadFile(folder.path("existing")), "keep");
    }

    // A cancelled record stops at the first report, files and strings alike.
    Progress cancelled;
    cancelled.Cancel();
    ASSERT_EQ(client.encryptFile(key.n, key.e, folder.path("plain"), folder.path("sealed")), QH_RSA_OK);
    EXPECT_EQ(client.decryptFile(key.n, key.d, folder.path("sealed"), folder.path("existing"), &cancelled),
              QH_RSA_E_CANCELLED);
    EXPECT_EQ(ReadFile(folder.path("existing")), "keep");
    EXPECT_EQ(client.encryptString(key.n, key.e, text, &cancelled).status, QH_RSA_E_CANCELLED);

    // The string methods leave the caller's buffer and length untouched.
    const std::string sealed = client.encryptString(key.n, key.e, text).value;
    Recorder early;
    early.stopAt = 2;
    const QhRsaProgress progress = early.record();
    std::string out(text.size() + 1, 'x');
    std::size_t len = 7;
    EXPECT_EQ(rsa2->DecryptStringWithProgress(key.n.c_str(), key.d.c_str(), sealed.c_str(), &progress,
                                              reinterpret_cast<unsigned char*>(out.data()), out.size(), &len),
              QH_RSA_E_CANCELLED);
    EXPECT_EQ(len, 7u);
    EXPECT_EQ(out, std::string(text.size() + 1, 'x'));
}

TEST_F(RsaProgress, StopEndsARandomPrimeSearch) {
    Recorder candidates;
    QhRsaProgress progress = candidates.record();
    char prime[600];
    std::size_t len = 0;
    ASSERT_EQ(rsa2->RandomPrimeWithProgress(16, &progress, prime, sizeof prime, &len), QH_RSA_OK);
    ASSERT_FALSE(candidates.reports.empty());
    EXPECT_EQ(len, 128u);
    std::uint64_t tried = 0; // one more with each candidate, the same through its test's rounds
    for (const auto& [done, total] : candidates.reports) {
        EXPECT_EQ(total, 0u); // the whole is unknown
        EXPECT_TRUE(done == tried || done == tried + 1) << done << " after " << tried;
        tried = done;
    }
    EXPECT_GE(tried, 1u);

    Recorder stopping;
    stopping.stopAt = 3;
    progress = stopping.record();
    std::strcpy(prime, "untouched");
    len = 7;
    EXPECT_EQ(rsa2->RandomPrimeWithProgress(64, &progress, prime, sizeof prime, &len), QH_RSA_E_CANCELLED);
    EXPECT_EQ(stopping.reports.size(), 3u);
    EXPECT_STREQ(prime, "untouched");
    EXPECT_EQ(len, 7u);
}

// A component as it was before progress: the client runs the plain methods,
// with no reports and no cancelling.
class OldComponent final : public StubRsaComponent {
public:
    int RandomPrime(int, char* out, std::size_t size, std::size_t* len) override { return Put("b", out, size, len); }
    int EncryptString(const char*, const char*, const unsigned char*, std::size_t, char* out, std::size_t size,
                      std::size_t* len) override {
        return Put("c0ffee", out, size, len);
    }
    int DecryptFile(const char*, const char*, const char*, const char*) override { return QH_RSA_OK; }
};

TEST(RsaProgressOldComponent, WorksWithoutReportsOrCancel) {
    OldComponent old;
    RsaClient client(old);
    Progress progress;
    progress.Cancel();
    EXPECT_EQ(client.randomPrime(2, &progress).value, "b");
    EXPECT_EQ(client.encryptString("f", "3", "x", &progress).value, "c0ffee");
    EXPECT_EQ(client.decryptFile("f", "3", "in", "out", &progress), QH_RSA_OK);
    EXPECT_EQ(progress.done.load(), 0u);
    EXPECT_EQ(progress.total.load(), 0u);
}

} // namespace
} // namespace qh::test
