#include "pane_job.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

namespace qh {

// What the runner and its worker share. The worker writes `finish` (or
// `failed`) and then sets `finished`; the runner reads them only after.
struct JobState {
    Progress progress;
    std::atomic<bool> finished{false};
    JobFinish finish;
    bool failed = false;
    std::thread thread;
};

namespace {

// The context of the progress row's texts in the translations.
class JobTexts {
    Q_DECLARE_TR_FUNCTIONS(qh::PaneJob)
};

constexpr int kPollMilliseconds = 50;
std::atomic<int> showDelay{300};

// Jobs cancelled with their window, still finishing on their threads.
std::mutex orphansMutex;
std::vector<std::shared_ptr<JobState>> orphans;

QString sizeText(double bytes) {
    static const char* const units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    int unit = 0;
    while (bytes >= 1024 && unit < 4) {
        bytes /= 1024;
        ++unit;
    }
    return unit == 0 ? QStringLiteral("%1 B").arg(static_cast<qint64>(bytes))
                     : QStringLiteral("%1 %2").arg(bytes, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

QString durationText(qint64 seconds) {
    if (seconds < 60)
        return JobTexts::tr("%1 秒").arg(seconds);
    if (seconds < 3600)
        return JobTexts::tr("%1 分 %2 秒").arg(seconds / 60).arg(seconds % 60);
    return JobTexts::tr("%1 小时 %2 分").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

} // namespace

// Tells the runners on the GUI thread that a worker has finished, so that a
// result shows at once rather than at the next poll. It lives as long as the
// application; workers post to it, which is safe from any thread.
class JobWakeup : public QObject {
public:
    static JobWakeup* instance() {
        static QPointer<JobWakeup> wakeup;
        if (!wakeup)
            wakeup = new JobWakeup(QCoreApplication::instance());
        return wakeup;
    }
    void wakeFromWorker() {
        QMetaObject::invokeMethod(
            this,
            [this] {
                for (PaneJobRunner* runner : std::as_const(runners_))
                    runner->pollNow();
            },
            Qt::QueuedConnection);
    }
    QList<PaneJobRunner*> runners_;

private:
    using QObject::QObject;
};

// The progress row: a bar, a line of figures and the cancel button.
class JobPanel : public QWidget {
public:
    JobPanel(QWidget* window, PaneJobRunner* runner) : QWidget(window) {
        setObjectName(QStringLiteral("jobPanel"));
        setAutoFillBackground(true);
        bar_ = new QProgressBar(this);
        bar_->setObjectName(QStringLiteral("jobProgressBar"));
        bar_->setTextVisible(false);
        bar_->setMaximumHeight(14);
        figures_ = new QLabel(this);
        figures_->setObjectName(QStringLiteral("jobFiguresLabel"));
        auto* cancel = new QPushButton(JobTexts::tr("取消"), this);
        cancel->setObjectName(QStringLiteral("cancelJobButton"));
        cancel->setAutoDefault(false);
        auto* row = new QHBoxLayout;
        row->addWidget(bar_, 1);
        row->addWidget(cancel);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(6, 4, 6, 4);
        layout->setSpacing(2);
        layout->addLayout(row);
        layout->addWidget(figures_);
        QObject::connect(cancel, &QPushButton::clicked, runner, [runner] { runner->cancel(); });
        const int height = sizeHint().height();
        setGeometry(0, window->height() - height, window->width(), height);
    }

    void show(std::uint64_t done, std::uint64_t total, qint64 elapsedMs, JobUnit unit) {
        if (total == 0) {
            bar_->setRange(0, 0); // the whole is unknown: a busy bar
        } else {
            bar_->setRange(0, 1000);
            bar_->setValue(static_cast<int>(std::min<std::uint64_t>(done, total) * 1000 / total));
        }
        figures_->setText(DescribeProgress(done, total, elapsedMs, unit));
        if (isHidden()) {
            QWidget::show();
            raise();
        }
    }

private:
    QProgressBar* bar_;
    QLabel* figures_;
};

QString DescribeProgress(std::uint64_t done, std::uint64_t total, qint64 elapsedMs, JobUnit unit) {
    const bool bytes = unit == JobUnit::Bytes;
    QString text = bytes ? sizeText(static_cast<double>(done)) : QString::number(done);
    if (total != 0)
        text += QStringLiteral(" / ") + (bytes ? sizeText(static_cast<double>(total)) : QString::number(total));
    // Speed and time left only once there is something to go by.
    if (elapsedMs < 500 || done == 0)
        return text;
    const double perSecond = static_cast<double>(done) * 1000.0 / static_cast<double>(elapsedMs);
    if (bytes)
        text += QStringLiteral(", ") + sizeText(perSecond) + QStringLiteral("/s");
    // Rounded up: a job with 1.9 s to go has not got 1 s left.
    if (total > done)
        text += JobTexts::tr(", 剩余 %1")
                    .arg(durationText(static_cast<qint64>(std::ceil(static_cast<double>(total - done) / perSecond))));
    return text;
}

PaneJobRunner::PaneJobRunner(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QStringLiteral("paneJobRunner"));
    wakeup_ = JobWakeup::instance();
    wakeup_->runners_.append(this);
}

PaneJobRunner::~PaneJobRunner() {
    if (wakeup_)
        wakeup_->runners_.removeOne(this);
    if (!state_)
        return;
    // The window goes: the job stops and its result is dropped. Its thread
    // finishes on its own and is joined later.
    state_->progress.Cancel();
    const std::lock_guard lock(orphansMutex);
    orphans.push_back(std::move(state_));
}

void PaneJobRunner::setShowDelayMilliseconds(int ms) {
    showDelay.store(ms);
}

QWidget* PaneJobRunner::panel() const {
    return panel_;
}

bool PaneJobRunner::start(JobWork work, JobUnit unit) {
    if (state_ || !window_)
        return false;
    state_ = std::make_shared<JobState>();
    unit_ = unit;
    JobState* state = state_.get();
    JobWakeup* wakeup = wakeup_;
    state->thread = std::thread([state, wakeup, work = std::move(work)] {
        try {
            state->finish = work(state->progress);
        } catch (...) {
            state->failed = true;
        }
        state->finished.store(true, std::memory_order_release);
        wakeup->wakeFromWorker();
    });
    setControlsEnabled(false);
    panel_ = new JobPanel(window_, this);
    panel_->hide();
    clock_.start();
    timer_ = startTimer(kPollMilliseconds);
    return true;
}

void PaneJobRunner::cancel() {
    if (state_)
        state_->progress.Cancel();
}

void PaneJobRunner::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer_)
        poll();
}

void PaneJobRunner::pollNow() {
    poll();
}

void PaneJobRunner::poll() {
    if (!state_)
        return;
    if (state_->finished.load(std::memory_order_acquire)) {
        finish();
        return;
    }
    if (clock_.elapsed() >= showDelay.load() && !state_->progress.Cancelled())
        panel_->show(state_->progress.done.load(std::memory_order_relaxed),
                     state_->progress.total.load(std::memory_order_relaxed), clock_.elapsed(), unit_);
}

void PaneJobRunner::finish() {
    killTimer(timer_);
    timer_ = 0;
    std::shared_ptr<JobState> state = std::move(state_);
    state->thread.join();
    delete panel_;
    panel_ = nullptr;
    setControlsEnabled(true);
    // A cancelled job shows nothing new.
    if (!state->progress.Cancelled() && !state->failed && state->finish)
        state->finish();
}

void PaneJobRunner::setControlsEnabled(bool enabled) {
    if (!window_)
        return;
    if (enabled) {
        for (const QPointer<QWidget>& control : std::as_const(disabled_))
            if (control)
                control->setEnabled(true);
        disabled_.clear();
        return;
    }
    for (QWidget* child : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != panel_ && child->isEnabled()) {
            child->setEnabled(false);
            disabled_.append(child);
        }
    }
}

void WaitForPaneJobs() {
    std::vector<std::shared_ptr<JobState>> finishing;
    {
        const std::lock_guard lock(orphansMutex);
        finishing.swap(orphans);
    }
    for (const std::shared_ptr<JobState>& state : finishing)
        state->thread.join();
}

} // namespace qh
