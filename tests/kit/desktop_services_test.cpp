// The real desktop services, answered the way a user answers them: a message
// box is read and closed, a file name is typed into the open dialog.
#include "desktop_services.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace qh {
namespace {

// Runs `user` on the modal window once it is open.
void whenModalOpens(std::function<void(QWidget*)> user) {
    QTimer::singleShot(0, [user] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        user(modal);
    });
}

TEST(DesktopServices, MessagesArePlainTextCaptionedWithTheProgramsName) {
    DesktopServices services;
    QString title, shown;
    Qt::TextFormat format = Qt::AutoText;
    whenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        format = box->textFormat();
        shown = box->text();
        box->accept();
    });
    services.showMessage(nullptr, QStringLiteral("名称 <u>ab</u> 已经存在"), QString(), MessageKind::Plain);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, QStringLiteral("名称 <u>ab</u> 已经存在"));
    EXPECT_EQ(title, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

TEST(DesktopServices, TheOpenDialogTakesANameThatDoesNotExist) {
    DesktopServices services;
    QTemporaryDir dir;
    const QString wanted = dir.filePath(QStringLiteral("not-there-yet.bin"));
    whenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(wanted);
        QTest::keyClick(name, Qt::Key_Return);
        // A refusal ("file not found") would leave the dialog open: close
        // whatever stands open so that the test ends. The dialog is the
        // timer's context: once it is gone, the timer must not fire.
        QTimer::singleShot(0, dialog, [dialog] {
            if (QWidget* warning = QApplication::activeModalWidget(); warning && warning != dialog)
                warning->close();
            if (dialog->isVisible())
                dialog->reject();
        });
    });
    EXPECT_EQ(services.askOpenFileName(nullptr, inputFileDialogOptions()), wanted);
}

} // namespace
} // namespace qh
