// The main window: the navigation bar on the left and one tool pane at a time
// in the pane area on the right. Ctrl+PgDn and Ctrl+PgUp, wherever the focus
// is in the window, open the next and the previous tool in the bar's order,
// across folders and round from the last to the first; the bar opens the
// chosen tool's folder.
#ifndef QUILLHORN_TOOLBOX_DLG_H
#define QUILLHORN_TOOLBOX_DLG_H

#include "nav_image_list.h"
#include "navigation_table.h"
#include "out_bar_ctrl.h"

#include <QDialog>
#include <array>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;

namespace qh {

class PaneServices;
class ToolPane;

// One cell of the navigation table.
struct NavItem {
    std::unique_ptr<ToolPane> pane;
    int dialogTemplate = 0;
    int imageIndex = 0;
    int icon = 0;
    QString itemText;
    QString folderText; // only in a folder's first item
};

class CToolboxDlg : public QDialog, public NavBarOwner {
    Q_OBJECT
public:
    static constexpr int kMaxFolders = 6;
    static constexpr int kMaxItems = 10;
    static inline const QString kCaption = QStringLiteral("Quillhorn 2.1 -- https://quillhorn.example.org/");

    CToolboxDlg(PaneServices& services, std::vector<NavEntry> table = StandardNavigationTable(),
                QWidget* parent = nullptr);
    ~CToolboxDlg() override;

    // Builds the navigation table, its pane objects and the bar. On failure a
    // message has been shown and the window must not run.
    bool OnInitDialog();
    // The length of the fade when the window closes (1000 ms; tests use 0).
    void setFadeMilliseconds(int ms) { fadeMilliseconds_ = ms; }

    int navBarNotify(int code, NavBarNotify& block) override;

    // For tests and the screenshot: the bar, the shown pane and the table.
    CXTOutBarCtrl* bar() const { return bar_; }
    ToolPane* currentPane() const { return currentPane_; }
    const NavItem& navItem(int folder, int position) const { return navTable_[folder][position]; }
    QRect paneArea() const;
    QComboBox* codePageCombo() const { return codePageCombo_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override;

private:
    bool createBar();
    void createCodePageLine();
    void chooseCodePage(int index);
    bool fail(const QString& text, const QString& caption);
    void selectItem(int position);
    NavItem* itemOf(int folder, const QString& text);
    void stepTool(int step);
    void beginClose();
    void finishClose();
    void deletePanes();

    PaneServices& services_;
    std::vector<NavEntry> table_;
    int folderCount_ = 0;
    std::array<int, kMaxFolders> itemCounts_{};
    ToolPane* currentPane_ = nullptr;
    std::array<std::array<NavItem, kMaxItems>, kMaxFolders> navTable_;
    NavImageList largeImages_{QSize(32, 32)};
    NavImageList smallImages_{QSize(16, 16)};
    QLabel* picture_ = nullptr;
    QRect barPlaceholder_;
    CXTOutBarCtrl* bar_ = nullptr;
    QComboBox* codePageCombo_ = nullptr;
    int fadeMilliseconds_ = 1000;
    bool closing_ = false;
    bool closed_ = false;
};

} // namespace qh

#endif
