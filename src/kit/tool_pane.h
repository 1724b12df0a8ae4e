// A tool pane: an object that lives from the main window's start to its close,
// and a window that is built afresh each time the pane is shown and destroyed
// when another pane is shown. Fields of a pane class survive a switch; its
// controls start from their initial state on every creation.
#ifndef QUILLHORN_TOOL_PANE_H
#define QUILLHORN_TOOL_PANE_H

#include "code_page.h"
#include "pane_job.h"

#include <QApplication>
#include <QColor>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QLineEdit;
class QPushButton;

namespace qh {

class PaneServices;

// The window of a pane: paints itself in the pane colour and swallows Enter, so
// that Enter in a pane never triggers anything.
class PaneWindow : public QWidget {
    Q_OBJECT
public:
    explicit PaneWindow(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Why a pane's window goes: another pane is shown, or the main window closes.
enum class WindowEnd { Switch, Close };

class ToolPane {
public:
    // textColour: the colour of every control's text in every state; invalid
    // gives black or white, whichever contrasts more with the pane colour
    // (see ApplyPaneColours).
    ToolPane(PaneServices& services, QColor paneColour, QColor textColour = QColor());
    virtual ~ToolPane();
    ToolPane(const ToolPane&) = delete;
    ToolPane& operator=(const ToolPane&) = delete;

    // Builds the window with fresh controls as a child of `parent`. Any window
    // the pane still has is destroyed first.
    QWidget* createWindow(QWidget* parent);
    // Destroys the window; the object and its fields live on. The owner calls
    // it while the pane object is whole, also when the main window closes, so
    // that the pane's own windowDestroying runs. On a switch, a watched box
    // that still has the focus is read first (see onFocusLost); on closing
    // nothing more is read or shown.
    void destroyWindow(WindowEnd end = WindowEnd::Switch);
    QWidget* window() const { return window_; }

    QColor paneColour() const { return paneColour_; }
    // A long command is running on a worker (see pane_job.h).
    bool jobRunning() const { return jobs_ && jobs_->running(); }
    PaneJobRunner* jobRunner() const { return jobs_; }
    QColor textColour() const { return textColour_; }

    // The pane's class name, which is also its window's objectName.
    virtual const char* className() const = 0;

protected:
    // Creates the controls inside `window` and connects them.
    virtual void buildWindow(QWidget* window) = 0;
    // Called just before the window is destroyed: forget pointers to controls.
    virtual void windowDestroying() {}
    // Called when the user chose another code page, with or without a window:
    // bytes the pane keeps as text are taken into the new page, and what the
    // window shows of bytes is shown in it.
    virtual void codePageChanged(CodePage previous) { (void)previous; }

    // Calls `lost` when `box` (a control of the window) loses the focus for
    // good: not to a pop-up menu, nor to another window for a while. Once the
    // window starts going, `lost` is never called again.
    void onFocusLost(QWidget* box, std::function<void()> lost);

    // Takes files dropped anywhere on the window, over its text boxes too:
    // `dropped` gets the first file's path (several files dropped at once
    // give the first). Dropped text still goes into a text box as usual.
    // Called at the end of buildWindow, once the controls stand.
    void onFileDropped(std::function<void(const QString& path)> dropped);
    // The same for a pane that takes every file dropped at once (folders too).
    void onFilesDropped(std::function<void(const QStringList& paths)> dropped);

    // Runs `work` on a worker thread while the pane shows its progress (see
    // pane_job.h); what it returns runs on the GUI thread unless the job was
    // cancelled or the window went. A job that runs out of memory shows a
    // message instead. False, and nothing started, while a job runs.
    bool runJob(JobWork work, JobUnit unit = JobUnit::Bytes);

    PaneServices& services() const { return services_; }

private:
    class FocusWatcher;

    PaneServices& services_;
    QColor paneColour_;
    QColor textColour_;
    QPointer<QWidget> window_;
    QPointer<FocusWatcher> focusWatcher_;
    QPointer<PaneJobRunner> jobs_;
    std::unique_ptr<QObject> codePageNotices_; // receives the code page's changes for the pane's life
};

// A multi-line box with this property set to true holds prose and wraps it at
// word boundaries; every other box wraps anywhere (see ToolPane::createWindow).
inline constexpr const char* kProseProperty = "qhProse";

// Gives a control its objectName (tests find controls by it) and returns it.
template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The "input file, output file" rows of the file commands: two path boxes with
// their browse buttons (wired to BrowseForInput and BrowseForOutput) and the
// two command buttons, one on each row.
struct FilePathRows {
    QWidget* group;
    QLineEdit* inputPath;
    QLineEdit* outputPath;
    QPushButton* first;  // beside the input path
    QPushButton* second; // beside the output path
};
FilePathRows BuildFilePathRows(PaneServices& services, QWidget* pane, const QString& title, const QString& firstText,
                               const char* firstName, const QString& secondText, const char* secondName);

// Shows the wait cursor while a long command runs on the GUI thread.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Paints `window` and every control on it in the pane colours: the background and
// the text background of every control in `paneColour`, and its text in
// `textColour` in every state. An invalid `textColour` gives black or white,
// whichever contrasts more with `paneColour`, greyed on disabled controls, so
// that the text stays readable whatever the desktop's palette. Placeholders are
// greyed; selections keep the desktop's highlight colours.
void ApplyPaneColours(QWidget* window, QColor paneColour, QColor textColour);

} // namespace qh

#endif
