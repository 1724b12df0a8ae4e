#include "tool_pane.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "pane_services.h"
#include "text_codec.h"

#include <cmath>
#include <map>
#include <new>

namespace qh {
namespace {

// The context of the kit's own texts in the translations.
class PaneTexts {
    Q_DECLARE_TR_FUNCTIONS(qh::ToolPane)
};

} // namespace

// Drops the one mouse press that is on its way to a control: its button is no
// longer held. A press moves the focus before the control gets it; when leaving
// a box showed a message, the message took the release, and the control would
// stay pressed with no release to come. The click is lost instead.
class StalePressDropper : public QObject {
public:
    StalePressDropper() {
        QCoreApplication::instance()->installEventFilter(this);
        // Nothing else may be dropped should no press follow.
        QTimer::singleShot(0, this, [this] { deleteLater(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
            return false;
        deleteLater();
        QCoreApplication::instance()->removeEventFilter(this);
        return !(QGuiApplication::mouseButtons() & static_cast<QMouseEvent*>(event)->button());
    }
};

// Catches drops of local files on the window and its controls; anything else
// passes on to the control under the mouse.
class FileDropFilter : public QObject {
public:
    FileDropFilter(QObject* parent, std::function<void(const QStringList&)> dropped)
        : QObject(parent), dropped_(std::move(dropped)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = localFiles(drop->mimeData());
        if (paths.isEmpty())
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop)
            dropped_(paths);
        return true;
    }

private:
    static QStringList localFiles(const QMimeData* data) {
        QStringList paths;
        if (!data || !data->hasUrls())
            return paths;
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths.append(url.toLocalFile());
        return paths;
    }

    std::function<void(const QStringList&)> dropped_;
};

// Runs the handlers of onFocusLost. It lives in the window and falls silent
// for good once the window starts going, whatever deletes it.
class ToolPane::FocusWatcher : public QObject {
public:
    explicit FocusWatcher(QObject* window) : QObject(window) {}

    void add(QWidget* box, std::function<void()> lost) {
        handlers_[box] = std::move(lost);
        box->installEventFilter(this);
    }
    // The handler of the watched box that has the focus, as if it lost it.
    void fireFocused() {
        for (auto& [box, lost] : handlers_)
            if (!silent_ && static_cast<QWidget*>(box)->hasFocus())
                lost();
    }
    void silence() { silent_ = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut && !silent_) {
            // A context menu, or a message box and other windows, take the
            // focus only for a while: the box gets it back afterwards.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            const auto found = handlers_.find(watched);
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && found != handlers_.end()) {
                found->second();
                if (reason == Qt::MouseFocusReason && QGuiApplication::mouseButtons() == Qt::NoButton)
                    new StalePressDropper;
            }
        }
        return false;
    }

private:
    std::map<QObject*, std::function<void()>> handlers_;
    bool silent_ = false;
};

PaneWindow::PaneWindow(QWidget* parent) : QWidget(parent) {}

void PaneWindow::keyPressEvent(QKeyEvent* event) {
    // Enter reaches the pane only when the control with the focus did not use
    // it (multi-line boxes make a new line): it does nothing.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    // Esc stops a running job rather than closing the program.
    if (event->key() == Qt::Key_Escape) {
        auto* jobs = findChild<PaneJobRunner*>(QString(), Qt::FindDirectChildrenOnly);
        if (jobs && jobs->running()) {
            jobs->cancel();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

ToolPane::ToolPane(PaneServices& services, QColor paneColour, QColor textColour)
    : services_(services), paneColour_(paneColour), textColour_(textColour),
      codePageNotices_(std::make_unique<QObject>()) {
    QObject::connect(&codePageNotices(), &CodePageNotices::changed, codePageNotices_.get(),
                     [this](CodePage previous) { codePageChanged(previous); });
}

// The owner destroys the window first (destroyWindow). Should a window be left,
// the derived pane is gone already: its handlers must not run while the
// window's controls are deleted, so they are cut off first.
ToolPane::~ToolPane() {
    codePageNotices_.reset();
    if (!window_)
        return;
    if (focusWatcher_)
        focusWatcher_->silence();
    window_->disconnect();
    for (QObject* child : window_->findChildren<QObject*>())
        child->disconnect();
    delete window_.data();
}

QWidget* ToolPane::createWindow(QWidget* parent) {
    destroyWindow();
    auto* window = new PaneWindow(parent);
    window->setObjectName(QString::fromLatin1(className()));
    window_ = window;
    jobs_ = new PaneJobRunner(window);
    buildWindow(window);
    // A focused push button must not take Enter as a click either.
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    // An editable combo box only takes what is typed: completing it would
    // change the user's text behind their back.
    for (QComboBox* combo : window->findChildren<QComboBox*>())
        if (combo->isEditable())
            combo->setCompleter(nullptr);
    // Tab moves on from a multi-line box as from any other control; a typed
    // tab would silently change what is hashed or encrypted. A pasted tab is
    // still taken as it is.
    // Boxes hold ciphertexts, digests and codes with no blanks in them, often
    // megabytes long: wrapping such a text at word boundaries takes time that
    // grows with the square of its length, wrapping it anywhere does not.
    // Prose (marked kProseProperty) keeps its word wrapping.
    for (QPlainTextEdit* box : window->findChildren<QPlainTextEdit*>()) {
        box->setTabChangesFocus(true);
        if (!box->property(kProseProperty).toBool())
            box->setWordWrapMode(QTextOption::WrapAnywhere);
    }
    ApplyPaneColours(window, paneColour_, textColour_);
    return window;
}

void ToolPane::destroyWindow(WindowEnd end) {
    if (!window_)
        return;
    if (focusWatcher_) {
        if (end == WindowEnd::Switch)
            focusWatcher_->fireFocused();
        focusWatcher_->silence();
    }
    if (!window_) // a handler's message may have closed everything
        return;
    windowDestroying();
    delete window_.data();
    window_ = nullptr;
}

bool ToolPane::runJob(JobWork work, JobUnit unit) {
    if (!jobs_)
        return false;
    PaneServices* services = &services_;
    QPointer<QWidget> window = window_;
    return jobs_->start(
        [work = std::move(work), services, window](Progress& progress) -> JobFinish {
            try {
                return work(progress);
            } catch (const std::bad_alloc&) {
                return [services, window] {
                    services->showMessage(window, PaneTexts::tr("内存不足, 操作没有完成!"), caption::Error,
                                          MessageKind::Error);
                };
            }
        },
        unit);
}

void ToolPane::onFileDropped(std::function<void(const QString& path)> dropped) {
    onFilesDropped([dropped = std::move(dropped)](const QStringList& paths) { dropped(paths.constFirst()); });
}

void ToolPane::onFilesDropped(std::function<void(const QStringList& paths)> dropped) {
    auto* filter = new FileDropFilter(window_, std::move(dropped));
    window_->setAcceptDrops(true);
    window_->installEventFilter(filter);
    for (QWidget* control : window_->findChildren<QWidget*>())
        control->installEventFilter(filter);
}

void ToolPane::onFocusLost(QWidget* box, std::function<void()> lost) {
    if (!focusWatcher_)
        focusWatcher_ = new FocusWatcher(window_);
    focusWatcher_->add(box, std::move(lost));
}

FilePathRows BuildFilePathRows(PaneServices& services, QWidget* pane, const QString& title, const QString& firstText,
                               const char* firstName, const QString& secondText, const char* secondName) {
    auto* group = new QGroupBox(title, pane);
    FilePathRows rows{
        group, named(new QLineEdit(group), "inputPathEdit"), named(new QLineEdit(group), "outputPathEdit"),
        named(new QPushButton(firstText, group), firstName), named(new QPushButton(secondText, group), secondName)};
    auto* inputBrowse = named(new QPushButton(PaneTexts::tr("浏览"), group), "inputBrowseButton");
    auto* outputBrowse = named(new QPushButton(PaneTexts::tr("浏览"), group), "outputBrowseButton");
    auto* layout = new QGridLayout(group);
    layout->addWidget(new QLabel(PaneTexts::tr("输入:"), group), 0, 0);
    layout->addWidget(rows.inputPath, 0, 1);
    layout->addWidget(inputBrowse, 0, 2);
    layout->addWidget(rows.first, 0, 3);
    layout->addWidget(new QLabel(PaneTexts::tr("输出:"), group), 1, 0);
    layout->addWidget(rows.outputPath, 1, 1);
    layout->addWidget(outputBrowse, 1, 2);
    layout->addWidget(rows.second, 1, 3);
    layout->setColumnStretch(1, 1);
    QLineEdit* input = rows.inputPath;
    QLineEdit* output = rows.outputPath;
    QObject::connect(inputBrowse, &QPushButton::clicked, group,
                     [&services, pane, input] { BrowseForInput(services, pane, input); });
    QObject::connect(outputBrowse, &QPushButton::clicked, group,
                     [&services, pane, output] { BrowseForOutput(services, pane, output); });
    return rows;
}

void ApplyPaneColours(QWidget* window, QColor paneColour, QColor textColour) {
    // A fixed pane colour needs a fixed text colour: the desktop's own may be
    // light (a dark theme) and vanish on a light pane. Unless the pane gives
    // one, it is black or white, whichever contrasts more with the pane (by
    // relative luminance, as in WCAG 2), and greyed where a control is disabled.
    // A colour the pane gives holds for every state, as its texts were released.
    auto luminance = [](QColor colour) {
        auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
    };
    const double paneLuminance = luminance(paneColour);
    const bool blackContrastsMore = (paneLuminance + 0.05) / 0.05 >= 1.05 / (paneLuminance + 0.05);
    const QColor text = textColour.isValid() ? textColour : QColor(blackContrastsMore ? Qt::black : Qt::white);
    // Halfway between the text and the pane: still readable, plainly fainter.
    const QColor greyed =
        QColor::fromRgbF((text.redF() + paneColour.redF()) / 2, (text.greenF() + paneColour.greenF()) / 2,
                         (text.blueF() + paneColour.blueF()) / 2);
    const QColor disabledText = textColour.isValid() ? textColour : greyed;

    QPalette palette = window->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, paneColour);
        palette.setColor(group, QPalette::Base, paneColour);
        palette.setColor(group, QPalette::AlternateBase, paneColour);
        palette.setColor(group, QPalette::Button, paneColour);
        const QColor& groupText = group == QPalette::Disabled ? disabledText : text;
        palette.setColor(group, QPalette::WindowText, groupText);
        palette.setColor(group, QPalette::Text, groupText);
        palette.setColor(group, QPalette::ButtonText, groupText);
        palette.setColor(group, QPalette::PlaceholderText, greyed);
        // Highlight and HighlightedText stay the desktop's: selected text is
        // drawn on the desktop's highlight, never on the pane colour.
    }
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

} // namespace qh
