#include "toolbox_dlg.h"

#include "code_page_choice.h"
#include "pane_services.h"
#include "qt_translations.h"
#include "text_codec.h"
#include "tool_pane.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainterPath>
#include <QPixmap>
#include <QPropertyAnimation>
#include <QRegion>
#include <QShortcut>
#include <algorithm>
#include <utility>
#include <vector>

namespace qh {
namespace {

// The window's layout in pixels: the client area, the bar's placeholder, the
// pane area, which the start-up picture fills, and the code page's line under it.
constexpr QSize kClientSize(521, 416);
const QRect kBarPlaceholder(5, 7, 116, 380);
const QRect kPaneArea(126, 7, 387, 382);
const QRect kCodePageLine(126, 391, 387, 23);

// Each file is taken at its own size; on a screen of higher density QIcon also
// takes the file's @2x rendering beside it.
QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/128-%1.png").arg(size));
    return icon;
}

// An item icon by resource id and size, null when it cannot be read. As an
// icon, not a pixmap, so that a screen of higher density gets its @2x rendering.
QIcon itemIcon(int id, int size) {
    const QIcon icon(QStringLiteral(":/icons/%1-%2.png").arg(id).arg(size));
    return icon.pixmap(QSize(size, size)).isNull() ? QIcon() : icon;
}

// The start-up picture at the density of the densest screen: QIcon picks the
// @2x rendering there, and the label scales it to the pane area. Its line of
// Chinese is in English in the English interface's picture.
QPixmap startUpPicture() {
    const QString picture = CurrentUiLanguage() == UiLanguage::English ? QStringLiteral(":/pictures/132-en.png")
                                                                       : QStringLiteral(":/pictures/132.png");
    return QIcon(picture).pixmap(kPaneArea.size(), qApp->devicePixelRatio());
}

} // namespace

CToolboxDlg::CToolboxDlg(PaneServices& services, std::vector<NavEntry> table, QWidget* parent)
    : QDialog(parent), services_(services), table_(std::move(table)) {
    setObjectName(QStringLiteral("CToolboxDlg"));
    setWindowTitle(kCaption);
    setWindowIcon(applicationIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientSize);

    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("pictureLabel"));
    picture_->setGeometry(kPaneArea);
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture_->setPixmap(startUpPicture());
    barPlaceholder_ = kBarPlaceholder;
    createCodePageLine();

    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), this);
    next->setObjectName(QStringLiteral("nextToolShortcut"));
    connect(next, &QShortcut::activated, this, [this] { stepTool(1); });
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), this);
    previous->setObjectName(QStringLiteral("previousToolShortcut"));
    connect(previous, &QShortcut::activated, this, [this] { stepTool(-1); });
}

// The code page that turns texts into bytes, shown at all times under the
// panes and chosen there; the choice is kept for the next runs.
void CToolboxDlg::createCodePageLine() {
    auto* line = new QWidget(this);
    line->setObjectName(QStringLiteral("codePageLine"));
    line->setGeometry(kCodePageLine);
    auto* label = new QLabel(tr("代码页:"), line);
    codePageCombo_ = new QComboBox(line);
    codePageCombo_->setObjectName(QStringLiteral("codePageCombo"));
    codePageCombo_->setToolTip(tr("打字和粘贴的文字按这个代码页变成字节, 字节按它显示成文字"));
    for (const CodePage page : kCodePages) {
        const std::string_view name = CodePageName(page);
        codePageCombo_->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    const auto showCurrent = [this] {
        const auto at = std::find(kCodePages.begin(), kCodePages.end(), currentCodePage());
        const QSignalBlocker blocker(codePageCombo_);
        codePageCombo_->setCurrentIndex(static_cast<int>(at - kCodePages.begin()));
    };
    showCurrent();
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addStretch(1);
    layout->addWidget(label);
    layout->addWidget(codePageCombo_);
    connect(codePageCombo_, &QComboBox::activated, this, &CToolboxDlg::chooseCodePage);
    connect(&codePageNotices(), &CodePageNotices::changed, codePageCombo_, showCurrent);
}

void CToolboxDlg::chooseCodePage(int index) {
    if (index < 0 || index >= static_cast<int>(kCodePages.size()))
        return;
    const CodePage page = kCodePages[static_cast<size_t>(index)];
    if (page == currentCodePage())
        return;
    setCurrentCodePage(page);
    if (!SaveCodePageChoice(page))
        services_.showMessage(this, tr("不能保存代码页的选择: ") + CodePageChoicePath(), caption::Error,
                              MessageKind::Error);
}

CToolboxDlg::~CToolboxDlg() {
    // The bar reports its items and folders as it goes; it must not reach a
    // window that is half destroyed.
    if (bar_)
        bar_->setOwner(nullptr);
    deletePanes();
}

QRect CToolboxDlg::paneArea() const {
    return picture_->geometry();
}

bool CToolboxDlg::OnInitDialog() {
    currentPane_ = nullptr;

    folderCount_ = 0;
    itemCounts_.fill(0);
    for (const NavEntry& entry : table_) {
        if (entry.folder < 0 || entry.folder >= kMaxFolders || entry.position < 0 || entry.position >= kMaxItems)
            return fail(QStringLiteral("Inside Error: navigation table out of range!"), caption::Application);
        NavItem& item = navTable_[entry.folder][entry.position];
        item.pane = entry.makePane(services_);
        item.dialogTemplate = entry.dialogTemplate;
        item.imageIndex = 0;
        item.icon = entry.icon;
        item.itemText = entry.itemText;
        item.folderText = entry.position == 0 ? entry.folderText : QString();
        folderCount_ = std::max(folderCount_, entry.folder + 1);
        itemCounts_[entry.folder] = std::max(itemCounts_[entry.folder], entry.position + 1);
    }
    return createBar();
}

bool CToolboxDlg::fail(const QString& text, const QString& caption) {
    services_.showMessage(this, text, caption, MessageKind::Plain);
    return false;
}

bool CToolboxDlg::createBar() {
    const QRect area = barPlaceholder_.adjusted(2, 3, -3, -3);
    bar_ = new CXTOutBarCtrl(this, 0xFC);
    bar_->setObjectName(QStringLiteral("navigationBar"));
    bar_->setGeometry(area);
    bar_->setBackColour(QColor(58, 110, 165));
    bar_->setTextColour(QColor(255, 255, 255));
    bar_->setImageList(&largeImages_, 2);
    bar_->setImageList(&smallImages_, 1);

    for (int f = 0; f < folderCount_; ++f) {
        if (bar_->addFolder(navTable_[f][0].folderText, f) != f)
            return fail(QStringLiteral("Inside Error: i != insert forder!"), caption::Application);
        for (int p = 0; p < itemCounts_[f]; ++p) {
            NavItem& item = navTable_[f][p];
            const QIcon small = itemIcon(item.icon, 16);
            const QIcon large = itemIcon(item.icon, 32);
            if (small.isNull() || large.isNull())
                return fail(QStringLiteral("Inside Error: Can`t load icon!"), item.itemText);
            const int smallIndex = smallImages_.add(small);
            const int largeIndex = largeImages_.add(large);
            if (smallIndex != largeIndex)
                return fail(QStringLiteral("Inside Error: IMGID not equat!"), caption::Application);
            item.imageIndex = smallIndex;
            if (bar_->insertItem(f, p + 1, item.itemText, item.imageIndex, 0) != p)
                return fail(QStringLiteral("Inside Error: j != insert item."), caption::Application);
        }
    }
    bar_->setOwner(this);
    bar_->show();
    return true;
}

int CToolboxDlg::navBarNotify(int code, NavBarNotify& block) {
    if (code == NAVN_ITEMCLICK)
        selectItem(block.index);
    return 1;
}

void CToolboxDlg::selectItem(int position) {
    // The pane is found by the clicked item's text, so it stays right after the
    // user has moved items within the folder.
    const int folder = bar_->selectedFolder();
    if (folder < 0 || folder >= folderCount_)
        return;
    NavItem* chosen = itemOf(folder, bar_->itemText(position));
    if (!chosen || !chosen->pane || chosen->pane.get() == currentPane_)
        return;

    if (currentPane_)
        currentPane_->destroyWindow();
    currentPane_ = chosen->pane.get();
    QWidget* window = currentPane_->createWindow(this);
    window->setGeometry(paneArea());
    window->raise();
    window->show();
}

NavItem* CToolboxDlg::itemOf(int folder, const QString& text) {
    if (folder < 0 || folder >= folderCount_)
        return nullptr;
    NavItem* found = nullptr;
    for (int p = 0; p < itemCounts_[folder]; ++p)
        if (navTable_[folder][p].itemText == text)
            found = &navTable_[folder][p];
    return found;
}

namespace {

// The first control of a pane window that Tab would reach.
QWidget* firstControl(QWidget* window) {
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
        if (window->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(window))
            return w;
    return nullptr;
}

} // namespace

// Opens the tool `step` places after the shown one in the bar's order (before
// it for a negative step), as a click on its item would; with no tool shown,
// the first or the last. When the focus was in the pane that goes, it moves to
// the new pane's first control, so the keyboard goes on where the user works.
void CToolboxDlg::stepTool(int step) {
    if (!bar_)
        return;
    std::vector<std::pair<int, int>> tools; // folder and position, in the bar's order
    int shown = -1;
    for (int f = 0; f < bar_->folderCount(); ++f) {
        for (int p = 0; p < bar_->folder(f)->itemCount(); ++p) {
            const NavItem* item = itemOf(f, bar_->item(f, p)->text);
            if (currentPane_ && item && item->pane.get() == currentPane_)
                shown = static_cast<int>(tools.size());
            tools.emplace_back(f, p);
        }
    }
    const int count = static_cast<int>(tools.size());
    if (count == 0)
        return;
    const int target = shown < 0 ? (step > 0 ? 0 : count - 1) : ((shown + step) % count + count) % count;
    const auto [folder, position] = tools[static_cast<std::size_t>(target)];

    QWidget* oldWindow = currentPane_ ? currentPane_->window() : nullptr;
    const bool focusInPane = oldWindow && oldWindow->isAncestorOf(QApplication::focusWidget());
    bar_->setSelectedFolder(folder);
    if (bar_->selectedFolder() != folder)
        return;
    bar_->clickItem(position);
    // A pane with no control (an about page) leaves the focus with the bar.
    if (focusInPane && currentPane_ && currentPane_->window()) {
        QWidget* control = firstControl(currentPane_->window());
        (control ? control : bar_)->setFocus(Qt::ShortcutFocusReason);
    }
}

void CToolboxDlg::keyPressEvent(QKeyEvent* event) {
    // Enter does nothing in the main window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CToolboxDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 5, 5);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void CToolboxDlg::closeEvent(QCloseEvent* event) {
    if (closed_) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    beginClose();
}

void CToolboxDlg::reject() {
    if (closed_)
        QDialog::reject();
    else
        beginClose();
}

void CToolboxDlg::beginClose() {
    if (closing_)
        return;
    closing_ = true;
    deletePanes();
    if (fadeMilliseconds_ <= 0) {
        finishClose();
        return;
    }
    auto* fade = new QPropertyAnimation(this, "windowOpacity", this);
    fade->setDuration(fadeMilliseconds_);
    fade->setStartValue(windowOpacity());
    fade->setEndValue(0.0);
    connect(fade, &QPropertyAnimation::finished, this, &CToolboxDlg::finishClose);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void CToolboxDlg::finishClose() {
    closed_ = true;
    hide();
    QDialog::reject();
}

// The shown pane's window goes first, while its pane object is whole, so
// that the pane's own clean-up runs; then the pane objects.
void CToolboxDlg::deletePanes() {
    if (currentPane_)
        currentPane_->destroyWindow(WindowEnd::Close);
    currentPane_ = nullptr;
    for (auto& row : navTable_)
        for (NavItem& item : row)
            item.pane.reset();
}

} // namespace qh
