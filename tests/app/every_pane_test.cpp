// Every pane through the real start-up path, with a user at the keyboard:
// every text box of every pane is typed into, the focus is left in one, and the
// main window is closed by Esc or by its close button; Tab leaves every box.
// Under a dark desktop palette every text stays readable on its pane. In
// English no Chinese is left on any pane, nor in its messages.
#include "qt_translations.h"
#include "recording_services.h"
#include "tool_pane.h"
#include "toolbox_app.h"
#include "toolbox_dlg.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPalette>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTranslator>
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

// Every text the main window shows with `where` it is: the texts, titles,
// tooltips and items of the controls, the headers and cells of lists and
// tables, the bar's folders, items and menu. The names of the decoder's saved
// settings belong to the settings file, not to the program, and are left out.
void collectTexts(CToolboxDlg& dialog, QList<QPair<QString, QString>>& texts) {
    auto add = [&](const QObject* where, const QString& text) {
        if (!text.isEmpty())
            texts.append(
                {QString::fromLatin1(where->metaObject()->className()) + QLatin1Char(' ') + where->objectName(), text});
    };
    CXTOutBarCtrl* bar = dialog.bar();
    for (int folder = 0; folder < bar->folderCount(); ++folder)
        add(bar, bar->folderText(folder));
    for (int item = 0; item < bar->itemCount(); ++item)
        add(bar, bar->itemText(item));
    const std::unique_ptr<QMenu> menu = bar->buildContextMenu();
    for (QAction* action : menu->actions())
        add(bar, action->text());
    add(&dialog, dialog.windowTitle());

    // The list of a combo box is a window of its own: it is found among the
    // combo box's children, not through isAncestorOf.
    const auto* settings = dialog.findChild<QComboBox*>(QStringLiteral("settingsCombo"));
    auto isSettings = [settings](const QObject* object) {
        for (; object; object = object->parent())
            if (object == settings)
                return true;
        return false;
    };
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (settings && isSettings(widget))
            continue;
        add(widget, widget->toolTip());
        add(widget, widget->statusTip());
        add(widget, widget->whatsThis());
        add(widget, widget->windowTitle());
        for (QAction* action : widget->actions())
            add(widget, action->text() + action->toolTip());
        if (auto* label = qobject_cast<QLabel*>(widget))
            add(widget, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            add(widget, button->text());
        if (auto* group = qobject_cast<QGroupBox*>(widget))
            add(widget, group->title());
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            add(widget, line->text() + line->placeholderText());
        if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            add(widget, text->toPlainText() + text->placeholderText());
        if (auto* text = qobject_cast<QTextEdit*>(widget))
            add(widget, text->toPlainText() + text->placeholderText());
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            for (int i = 0; i < combo->count(); ++i)
                add(widget, combo->itemText(i));
        if (auto* tabs = qobject_cast<QTabBar*>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                add(widget, tabs->tabText(i) + tabs->tabToolTip(i));
        if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->model()) {
            const QAbstractItemModel* model = view->model();
            for (Qt::Orientation side : {Qt::Horizontal, Qt::Vertical})
                for (int i = 0; i < (side == Qt::Horizontal ? model->columnCount() : model->rowCount()); ++i)
                    add(widget,
                        model->headerData(i, side).toString() + model->headerData(i, side, Qt::ToolTipRole).toString());
            for (int row = 0; row < model->rowCount(); ++row)
                for (int column = 0; column < model->columnCount(); ++column)
                    add(widget, model->index(row, column).data().toString() +
                                    model->index(row, column).data(Qt::ToolTipRole).toString());
        }
    }
}

// A user who tries everything: types into every box, then clicks every
// button, check box and radio button of the pane in turn, waiting for what a
// click starts, so that the pane says what it has to say.
void tryEverything(ToolPane& pane) {
    for (QWidget* box : textBoxes(pane.window()))
        typeInto(box);
    for (QAbstractButton* button : pane.window()->findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || !button->isEnabled())
            continue;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !pane.jobRunning(); }, 120000));
    }
}

TEST(EveryPane, EnglishLeavesNoChineseOnAnyPaneNorInItsMessages) {
    // The decoder gets the starter settings (their names are Chinese), and
    // whatever the panes write goes into a scratch folder.
    QTemporaryDir folder;
    const QString home = QDir::currentPath();
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(":/settings/quillhorn.conf"), folder.filePath(QStringLiteral("quillhorn.conf"))));
    QFile::setPermissions(folder.filePath(QStringLiteral("quillhorn.conf")), QFile::ReadOwner | QFile::WriteOwner);
    QDir::setCurrent(folder.path());
    QTranslator* english = InstallTranslations(*QCoreApplication::instance(), UiLanguage::English);
    ASSERT_NE(english, nullptr);

    const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    QStringList left;
    int shown = 0;
    auto check = [&](const QString& where, const QString& text) {
        ++shown;
        if (text.contains(chinese))
            left.append(where + QStringLiteral(": ") + text);
    };
    test::RecordingServices services;
    EXPECT_EQ(runProgram(services,
                         [&](CToolboxDlg& dialog) {
                             QList<QPair<QString, QString>> texts;
                             collectTexts(dialog, texts); // before any pane is open
                             CXTOutBarCtrl* bar = dialog.bar();
                             for (int f = 0; f < bar->folderCount(); ++f) {
                                 bar->setSelectedFolder(f);
                                 for (int item = 0; item < bar->itemCount(); ++item) {
                                     openItem(bar, f, item);
                                     ToolPane* pane = dialog.currentPane();
                                     const QString name = QString::fromLatin1(pane->className());
                                     collectTexts(dialog, texts);
                                     tryEverything(*pane);
                                     collectTexts(dialog, texts);
                                     for (const auto& [where, text] : std::as_const(texts))
                                         check(name + QStringLiteral(", ") + where, text);
                                     texts.clear();
                                 }
                             }
                             dialog.close();
                         }),
              0);
    for (const test::RecordedMessage& message : std::as_const(services.messages))
        check(QStringLiteral("message"), message.caption + QStringLiteral(": ") + message.text);
    for (const test::RecordedDialog& dialog : std::as_const(services.dialogs))
        check(QStringLiteral("file dialog"), dialog.options.filter);

    delete english;
    QDir::setCurrent(home);
    left.removeDuplicates();
    EXPECT_TRUE(left.isEmpty()) << "Chinese left in English:\n  " << left.join(QStringLiteral("\n  ")).toStdString();
    // Enough was seen for the check to mean something.
    EXPECT_GT(shown, 500);
    EXPECT_GT(services.messages.size(), 20);
    EXPECT_GT(services.dialogs.size(), 10);
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
