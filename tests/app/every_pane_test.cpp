// Every pane through the real start-up path, with a user at the keyboard:
// every text box of every pane is typed into, the focus is left in one, and the
// main window is closed by Esc or by its close button; Tab leaves every box.
// Under a dark desktop palette every text stays readable on its pane.
#include "recording_services.h"
#include "tool_pane.h"
#include "toolbox_app.h"
#include "toolbox_dlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace qh {
namespace {

enum class CloseBy { Escape, CloseButton };

// The boxes a user can type into, in the order of the pane's children.
std::vector<QWidget*> textBoxes(QWidget* pane) {
    std::vector<QWidget*> boxes;
    for (QWidget* widget : pane->findChildren<QWidget*>()) {
        const bool usable = widget->isVisible() && widget->isEnabled();
        if (auto* line = qobject_cast<QLineEdit*>(widget); line && usable && !line->isReadOnly())
            boxes.push_back(line);
        if (auto* text = qobject_cast<QPlainTextEdit*>(widget); text && usable && !text->isReadOnly())
            boxes.push_back(text);
    }
    return boxes;
}

// A click into the box, as a user gives it the focus, then some typing: by
// default no valid number, so that every check on leaving a box has something
// to say.
void typeInto(QWidget* box, const QString& typed = QStringLiteral("1z")) {
    QWidget* target = box;
    if (auto* text = qobject_cast<QPlainTextEdit*>(box))
        target = text->viewport();
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, 4));
    QTest::keyClicks(box, typed);
}

// Starts the program as start-up does and hands its active main window to
// `user` once it runs; `user` ends the run. Returns the program's status.
int runProgram(test::RecordingServices& services, const std::function<void(CToolboxDlg&)>& user) {
    CToolboxApp app(services);
    app.setComponentPath(QH_TEST_COMPONENT);
    app.setWindowHook([&](CToolboxDlg& dialog) {
        dialog.setFadeMilliseconds(0);
        QTimer::singleShot(0, &dialog, [&] {
            dialog.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            user(dialog);
        });
    });
    return app.InitInstance();
}

void openItem(CXTOutBarCtrl* bar, int folder, int item) {
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->folderRect(folder).center());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->iconRect(item).center());
}

// Opens every item of the bar in turn and calls `visit` with its pane.
void forEveryPane(const std::function<void(ToolPane&)>& visit) {
    test::RecordingServices services;
    EXPECT_EQ(runProgram(services,
                         [&](CToolboxDlg& dialog) {
                             CXTOutBarCtrl* bar = dialog.bar();
                             for (int folder = 0; folder < bar->folderCount(); ++folder) {
                                 bar->setSelectedFolder(folder);
                                 for (int item = 0; item < bar->itemCount(); ++item) {
                                     openItem(bar, folder, item);
                                     SCOPED_TRACE(bar->itemText(item).toStdString());
                                     visit(*dialog.currentPane());
                                 }
                             }
                             dialog.close();
                         }),
              0);
}

TEST(EveryPane, TabLeavesAMultiLineBoxAndTypesNoTab) {
    int boxes = 0;
    forEveryPane([&](ToolPane& pane) {
        for (QWidget* box : textBoxes(pane.window())) {
            auto* text = qobject_cast<QPlainTextEdit*>(box);
            if (!text)
                continue;
            ++boxes;
            typeInto(text, QStringLiteral("12"));
            QTest::keyClick(text, Qt::Key_Tab);
            EXPECT_EQ(text->toPlainText(), QStringLiteral("12")) << text->objectName().toStdString();
            EXPECT_FALSE(text->hasFocus()) << text->objectName().toStdString();
        }
    });
    EXPECT_GE(boxes, 9);
}

// Drags `data` over `target` and drops it there, as a file manager does.
void dropOn(QWidget* target, QMimeData* data) {
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

TEST(EveryPane, ADroppedFileFillsTheInputPathAndDroppedTextGoesIntoATextBox) {
    QStringList filled;
    forEveryPane([&](ToolPane& tool) {
        QWidget* pane = tool.window();
        auto* path = pane->findChild<QLineEdit*>(QStringLiteral("pathEdit"));
        if (!path)
            path = pane->findChild<QLineEdit*>(QStringLiteral("inputPathEdit"));
        if (!path)
            return;
        // Two files, dropped on whatever lies under the mouse: a text box too.
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/first file.bin")),
                       QUrl::fromLocalFile(QStringLiteral("/tmp/second.bin"))});
        files.setText(QStringLiteral("file:///tmp/first file.bin"));
        auto* text = pane->findChild<QPlainTextEdit*>(QStringLiteral("inputEdit"));
        dropOn(text ? text->viewport() : pane, &files);
        EXPECT_EQ(path->text(), QStringLiteral("/tmp/first file.bin")) << pane->objectName().toStdString();
        EXPECT_TRUE(path->isEnabled()) << "the file mode is chosen";
        if (text) {
            EXPECT_FALSE(text->toPlainText().contains(QStringLiteral("file:"))) << pane->objectName().toStdString();
        }
        filled.append(pane->objectName());

        // Plain text dropped on a text box is inserted as usual.
        QLineEdit* box = pane->findChild<QLineEdit*>(QStringLiteral("outputPathEdit"));
        if (box) {
            QMimeData words;
            words.setText(QStringLiteral("out.dat"));
            box->clear();
            dropOn(box, &words);
            EXPECT_EQ(box->text(), QStringLiteral("out.dat"));
        }
    });
    EXPECT_EQ(filled, (QStringList{QStringLiteral("CBASE"), QStringLiteral("CMD5"), QStringLiteral("CSHADlg"),
                                   QStringLiteral("CCRCDlg"), QStringLiteral("CDES"), QStringLiteral("CRSA")}));
}

// Relative luminance and contrast ratio as WCAG 2 defines them: 1 for equal
// colours, 21 for black on white.
double luminance(QColor colour) {
    auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}
double contrast(QColor a, QColor b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Light text on dark grey, as dark desktop themes give it.
QPalette darkPalette() {
    QPalette palette(QColor(53, 53, 53));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, QColor(235, 235, 235));
    palette.setColor(QPalette::Base, QColor(35, 35, 35));
    for (QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::PlaceholderText})
        palette.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
    return palette;
}

TEST(EveryPane, TextContrastsWithThePaneColourUnderADarkPalette) {
    // WCAG's least contrast for large text and controls; light text on these
    // light panes gives 1.1 to 1.9.
    constexpr double kLeast = 3.0;
    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(darkPalette());
    int controls = 0;
    forEveryPane([&](ToolPane& pane) {
        for (QWidget* control : pane.window()->findChildren<QWidget*>()) {
            // The text role each kind of control draws its text in.
            QPalette::ColorRole role = QPalette::NoRole;
            if (qobject_cast<QLabel*>(control))
                role = QPalette::WindowText;
            else if (auto* button = qobject_cast<QAbstractButton*>(control))
                role = button->inherits("QPushButton") ? QPalette::ButtonText : QPalette::WindowText;
            else if (qobject_cast<QLineEdit*>(control) || qobject_cast<QPlainTextEdit*>(control))
                role = QPalette::Text;
            if (role == QPalette::NoRole || !control->isVisible())
                continue;
            ++controls;
            const QPalette::ColorGroup group = control->isEnabled() ? QPalette::Active : QPalette::Disabled;
            const QColor text = control->palette().color(group, role);
            EXPECT_GE(contrast(text, pane.paneColour()), kLeast)
                << control->objectName().toStdString() << " " << control->metaObject()->className() << " "
                << text.name().toStdString() << " on " << pane.paneColour().name().toStdString();
            if (role == QPalette::Text) {
                EXPECT_EQ(control->palette().color(group, QPalette::Base), pane.paneColour());
            }
        }
    });
    QApplication::setPalette(desktop);
    EXPECT_GE(controls, 100);
}

struct Case {
    int folder;
    int position;
    int box; // the box left with the focus
};

// Runs the program once: opens the item, types into every box, clicks back into
// the chosen one and closes. Returns the number of boxes of the pane.
int runOnce(const Case& c, CloseBy by, int& status, qsizetype& messagesOnClose) {
    test::RecordingServices services;
    int boxCount = 0;
    status = runProgram(services, [&](CToolboxDlg& dialog) {
        openItem(dialog.bar(), c.folder, c.position);
        ToolPane* pane = dialog.currentPane();
        EXPECT_NE(pane, nullptr);
        const std::vector<QWidget*> boxes = pane ? textBoxes(pane->window()) : std::vector<QWidget*>();
        boxCount = static_cast<int>(boxes.size());
        for (QWidget* box : boxes)
            typeInto(box);
        if (c.box < boxCount) {
            typeInto(boxes[c.box]);
            EXPECT_TRUE(boxes[c.box]->hasFocus());
        }
        const qsizetype before = services.messages.size();
        if (by == CloseBy::Escape)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            dialog.windowHandle()->close();
        messagesOnClose = services.messages.size() - before;
    });
    return boxCount;
}

TEST(EveryPane, ClosesWithTheFocusInAnyOfItsTextBoxes) {
    const int itemCounts[] = {3, 4, 1, 2, 3};
    for (int folder = 0; folder < 5; ++folder) {
        for (int position = 0; position < itemCounts[folder]; ++position) {
            for (int box = 0;; ++box) {
                int boxCount = 0;
                for (CloseBy by : {CloseBy::Escape, CloseBy::CloseButton}) {
                    SCOPED_TRACE(testing::Message() << "folder " << folder << " item " << position << " box " << box
                                                    << (by == CloseBy::Escape ? " Esc" : " close button"));
                    int status = -1;
                    qsizetype messagesOnClose = -1;
                    boxCount = runOnce({folder, position, box}, by, status, messagesOnClose);
                    EXPECT_EQ(status, 0);
                    EXPECT_EQ(messagesOnClose, 0);
                    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty() ||
                                std::none_of(QApplication::topLevelWidgets().begin(),
                                             QApplication::topLevelWidgets().end(),
                                             [](QWidget* w) { return w->isVisible(); }));
                }
                if (box + 1 >= boxCount)
                    break;
            }
        }
    }
}

} // namespace
} // namespace qh
