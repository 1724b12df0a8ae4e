// A long job on a worker: the window keeps handling events, progress shows,
// and cancel stops the job with nothing shown.
#include "byte_source.h"
#include "pane_job.h"
#include "sha.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <string>

namespace qh {
namespace {

// Bytes handed out 64 KiB at a time; after the first run the source waits
// until the test opens its gate, as a slow disk would.
class GatedSource final : public ByteSource {
public:
    explicit GatedSource(std::uint64_t size) : bytes_(size, 'q') {}

    void open() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        gate_.notify_all();
    }

    std::uint8_t At(std::uint64_t i) override { return cursor_ + i < bytes_.size() ? 'q' : 0; }
    std::uint8_t Current() override { return At(0); }
    void Advance(std::uint64_t n) override { cursor_ += n; }
    void Next() override { ++cursor_; }
    void Back(std::uint64_t n) override { cursor_ -= n; }
    void Prev() override { --cursor_; }
    std::uint64_t Size() const override { return bytes_.size(); }
    std::span<const std::uint8_t> View(std::uint64_t want) override {
        if (cursor_ > 0) {
            std::unique_lock lock(mutex_);
            gate_.wait(lock, [this] { return open_; });
        }
        if (cursor_ >= bytes_.size())
            return {};
        const std::uint64_t run = std::min<std::uint64_t>({want, bytes_.size() - cursor_, 64 * 1024});
        return {reinterpret_cast<const std::uint8_t*>(bytes_.data()) + cursor_, static_cast<std::size_t>(run)};
    }

private:
    std::string bytes_;
    std::mutex mutex_;
    std::condition_variable gate_;
    bool open_ = false;
};

class PaneJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        PaneJobRunner::setShowDelayMilliseconds(0);
        window.resize(387, 382);
        box = new QLineEdit(&window);
        window.show();
    }
    void TearDown() override { PaneJobRunner::setShowDelayMilliseconds(300); }

    QWidget window;
    QLineEdit* box = nullptr;
};

TEST_F(PaneJobTest, TheWindowStaysLiveProgressShowsAndCancelShowsNothing) {
    GatedSource source(8 * 1024 * 1024);
    auto* runner = new PaneJobRunner(&window);
    ASSERT_TRUE(runner->start(
        [&source](Progress& progress) -> JobFinish {
            std::uint8_t digest[64];
            const bool complete = ShaCompute(ShaVariant::Sha256, source, source.Size(), digest, &progress);
            return [complete] { ADD_FAILURE() << "a cancelled job showed its result, complete " << complete; };
        },
        JobUnit::Bytes));
    EXPECT_FALSE(runner->start([](Progress&) { return JobFinish(); }, JobUnit::Bytes)) << "one job at a time";
    EXPECT_FALSE(box->isEnabled()) << "the pane's controls wait for the job";

    // The worker waits at its gate; the GUI thread goes on handling events.
    bool timerFired = false;
    QTimer::singleShot(0, &window, [&] { timerFired = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return timerFired && runner->panel() && runner->panel()->isVisible(); }));
    auto* bar = runner->panel()->findChild<QProgressBar*>(QStringLiteral("jobProgressBar"));
    auto* figures = runner->panel()->findChild<QLabel*>(QStringLiteral("jobFiguresLabel"));
    ASSERT_TRUE(bar && figures);
    EXPECT_EQ(bar->value(), 1000 * 64 / (8 * 1024)); // 64 KiB of 8 MiB
    EXPECT_EQ(figures->text(), QStringLiteral("64.0 KiB / 8.0 MiB"));

    QTest::mouseClick(runner->panel()->findChild<QPushButton*>(QStringLiteral("cancelJobButton")), Qt::LeftButton);
    source.open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !runner->running(); }));
    EXPECT_EQ(runner->panel(), nullptr);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_LT(source.Cursor(), source.Size()) << "the job stopped part of the way";
}

TEST_F(PaneJobTest, AFinishedJobShowsItsResultAndAGoneWindowDropsIt) {
    auto* runner = new PaneJobRunner(&window);
    ASSERT_TRUE(runner->start(
        [](Progress& progress) -> JobFinish {
            progress.SetTotal(3);
            progress.Add(3);
            return [] { QApplication::instance()->setProperty("jobResult", QStringLiteral("done")); };
        },
        JobUnit::Steps));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !runner->running(); }));
    EXPECT_EQ(QApplication::instance()->property("jobResult").toString(), QStringLiteral("done"));

    // A window that goes takes its job with it: cancelled, never shown.
    GatedSource source(1024 * 1024);
    {
        QWidget shortLived;
        auto* doomed = new PaneJobRunner(&shortLived);
        doomed->start(
            [&source](Progress& progress) -> JobFinish {
                std::uint8_t digest[64];
                ShaCompute(ShaVariant::Sha1, source, source.Size(), digest, &progress);
                return [] { ADD_FAILURE() << "the result of a gone window was shown"; };
            },
            JobUnit::Bytes);
    }
    source.open();
    WaitForPaneJobs();
    QApplication::processEvents();
    EXPECT_LT(source.Cursor(), source.Size());
}

TEST(DescribeProgress, SaysWhatIsDoneTheSpeedAndTheTimeLeft) {
    EXPECT_EQ(DescribeProgress(0, 0, 0, JobUnit::Bytes), QStringLiteral("0 B"));
    EXPECT_EQ(DescribeProgress(512, 2048, 100, JobUnit::Bytes), QStringLiteral("512 B / 2.0 KiB"));
    EXPECT_EQ(DescribeProgress(1u << 30, 4ull << 30, 1000, JobUnit::Bytes),
              QStringLiteral("1.0 GiB / 4.0 GiB, 1.0 GiB/s, 剩余 3 秒"));
    EXPECT_EQ(DescribeProgress(10, 1000, 10000, JobUnit::Steps), QStringLiteral("10 / 1000, 剩余 16 分 30 秒"));
    EXPECT_EQ(DescribeProgress(7, 0, 10000, JobUnit::Steps), QStringLiteral("7"));
    EXPECT_EQ(DescribeProgress(3, 8, 1000, JobUnit::Steps), QStringLiteral("3 / 8, 剩余 2 秒")); // 1.7 s, rounded up
}

} // namespace
} // namespace qh
