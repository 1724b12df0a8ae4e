// Long commands of a pane run on a worker thread while the window stays live.
//
// A job is a piece of work that runs off the GUI thread with a Progress record
// (the engines add what they have done and look at its cancel flag) and
// returns what is then done on the GUI thread: a closure that shows the
// result. While it runs, the pane shows a row with a progress bar, what has
// been done of the whole, the speed, the time left and a 取消 (cancel) button,
// and the rest of the pane's controls are disabled; the navigation bar and
// the other panes stay usable.
//
// A job belongs to the pane's window: when the window goes (another pane is
// chosen, or the main window closes), the job is cancelled and its result
// dropped. Cancelled engines leave no output file and an existing one as it
// was. The worker threads of such jobs finish on their own; WaitForPaneJobs()
// joins them, so that start-up can release the RSA component only when no
// thread can be inside it.
#ifndef QUILLHORN_PANE_JOB_H
#define QUILLHORN_PANE_JOB_H

#include "progress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qh {

// What the work hands back: run on the GUI thread unless the job was cancelled.
using JobFinish = std::function<void()>;
// The work itself, run on a worker thread. It must not touch widgets.
using JobWork = std::function<JobFinish(Progress&)>;

// How the counters of the Progress read: bytes of a file or text, or steps
// (blocks, attempts) of work.
enum class JobUnit { Bytes, Steps };

class JobPanel;
class JobWakeup;
struct JobState;

// Runs one job at a time for a pane window.
class PaneJobRunner : public QObject {
    Q_OBJECT
public:
    // `window`: the pane window whose controls are disabled while a job runs
    // and in which the progress row is shown.
    explicit PaneJobRunner(QWidget* window);
    ~PaneJobRunner() override;

    // Starts `work`; false (nothing started) while another job runs.
    bool start(JobWork work, JobUnit unit);
    bool running() const { return state_ != nullptr; }
    // Asks the job to stop; its result will not be shown.
    void cancel();
    // The progress row, while a job runs (tests reach the 取消 button there).
    QWidget* panel() const;

    // The delay before the progress row appears, so that short jobs do not
    // flash it (tests set 0).
    static void setShowDelayMilliseconds(int ms);
    // Looks at the job at once (a worker has finished).
    void pollNow();

private:
    void poll();
    void finish();
    void setControlsEnabled(bool enabled);

    QPointer<QWidget> window_;
    QPointer<JobWakeup> wakeup_;
    std::shared_ptr<JobState> state_;
    JobPanel* panel_ = nullptr;
    QList<QPointer<QWidget>> disabled_;
    QElapsedTimer clock_;
    int timer_ = 0;
    JobUnit unit_ = JobUnit::Bytes;

protected:
    void timerEvent(QTimerEvent* event) override;
};

// Joins the workers of every job that was cancelled with its window. Called
// by start-up before the RSA component is released.
void WaitForPaneJobs();

// "12.3 MiB / 4.0 GiB, 1.2 GiB/s, 剩余 3 秒": what the progress row says.
// `elapsedMs` since the start; speed and time left once they mean something.
QString DescribeProgress(std::uint64_t done, std::uint64_t total, qint64 elapsedMs, JobUnit unit);

} // namespace qh

#endif
