#include "pane_services.h"
#include "recording_services.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace qh {
namespace {

using test::RecordingServices;

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(PaneServices, CopyStopsAtNulWhileSaveKeepsEveryByte) {
    RecordingServices services;
    QWidget pane;
    const QByteArray result("abc\0def", 7);

    CopyResult(services, &pane, result);
    EXPECT_EQ(services.clipboard, QByteArray("abc"));
    EXPECT_TRUE(services.messages.isEmpty());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    services.fileAnswers = {path, path};
    SaveResult(services, &pane, result);
    EXPECT_EQ(readFile(path), result);
    SaveResult(services, &pane, result); // a second save writes the same bytes
    EXPECT_EQ(readFile(path), result);
    EXPECT_TRUE(services.messages.isEmpty());
    ASSERT_EQ(services.dialogs.size(), 2);
    EXPECT_TRUE(services.dialogs[0].save);
    EXPECT_EQ(services.dialogs[0].options.defaultName, QStringLiteral("out"));
    EXPECT_EQ(services.dialogs[0].options.defaultSuffix, QStringLiteral("txt"));
}

TEST(PaneServices, ClipboardFailures) {
    RecordingServices services;
    QWidget pane;
    services.clipboard = "keep";
    services.clipboardOpenable = false;
    CopyResult(services, &pane, "new");
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("不能打开剪贴板."));
    EXPECT_EQ(services.messages[0].caption, QStringLiteral("ERROR"));
    EXPECT_EQ(services.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(services.messages[0].owner, &pane);
    EXPECT_EQ(services.clipboard, QByteArray("keep"));

    // Paste is silent when the clipboard cannot be opened or holds no text.
    EXPECT_FALSE(PasteInput(services, &pane).has_value());
    services.clipboardOpenable = true;
    services.clipboardHasText = false;
    EXPECT_FALSE(PasteInput(services, &pane).has_value());
    EXPECT_EQ(services.messages.size(), 1);

    services.clipboardHasText = true;
    services.clipboard = QByteArray("before\0after", 12);
    EXPECT_EQ(PasteInput(services, &pane), QByteArray("before"));
}

TEST(PaneServices, UnwritablePathShowsErrorAndCreatesNothing) {
    RecordingServices services;
    QWidget pane;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/out.txt"));
    services.fileAnswers = {path};
    SaveResult(services, &pane, "data");
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("不能打开文件 ") + QDir::toNativeSeparators(path));
    EXPECT_EQ(services.messages[0].caption, QStringLiteral("ERROR"));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(PaneServices, CancelledDialogsChangeNothingAndCurrentDirectoryIsRestored) {
    RecordingServices services;
    QWidget pane;
    QLineEdit box;
    box.setText(QStringLiteral("before"));
    QTemporaryDir dir;
    const QString start = QDir::currentPath();
    services.duringDialog = [&] { QDir::setCurrent(dir.path()); };

    BrowseForInput(services, &pane, &box); // cancelled: no answer prepared
    EXPECT_EQ(box.text(), QStringLiteral("before"));
    SaveResult(services, &pane, "x");
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_EQ(QDir::currentPath(), start);

    const QString chosen = dir.filePath(QStringLiteral("out01.dat"));
    services.fileAnswers = {chosen};
    BrowseForOutput(services, &pane, &box);
    EXPECT_EQ(box.text(), QDir::toNativeSeparators(chosen));
    EXPECT_FALSE(QFile::exists(chosen)); // browsing writes nothing
    EXPECT_EQ(QDir::currentPath(), start);
    ASSERT_EQ(services.dialogs.size(), 3);
    EXPECT_FALSE(services.dialogs[0].save);
    EXPECT_TRUE(services.dialogs[2].save);
    EXPECT_EQ(services.dialogs[2].options.defaultName, QStringLiteral("out01"));
    EXPECT_EQ(services.dialogs[2].options.defaultSuffix, QStringLiteral("dat"));
}

} // namespace
} // namespace qh
