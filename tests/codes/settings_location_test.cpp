// Where the decoder finds its settings: the working folder's file first, then
// the user's own, which the first start fills with the starter settings.
#include "ascii_decode_pane.h"
#include "recording_services.h"
#include "settings_location.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qh {
namespace {

class SettingsLocation : public ::testing::Test {
protected:
    void SetUp() override {
        previousFolder_ = QDir::currentPath();
        previousHome_ = qgetenv("HOME");
        previousConfig_ = qgetenv("XDG_CONFIG_HOME");
        ASSERT_TRUE(QDir().mkpath(work()));
        ASSERT_TRUE(QDir().mkpath(home()));
        QDir::setCurrent(work());
        qputenv("HOME", QFile::encodeName(home()));
        qunsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override {
        QDir::setCurrent(previousFolder_);
        qputenv("HOME", previousHome_);
        if (previousConfig_.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previousConfig_);
    }

    QString work() const { return root_.filePath(QStringLiteral("work")); }
    QString home() const { return root_.filePath(QStringLiteral("home")); }
    QString userFile() const { return home() + QStringLiteral("/.config/quillhorn/quillhorn.conf"); }
    static void write(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir root_;
    QString previousFolder_;
    QByteArray previousHome_, previousConfig_;
};

TEST_F(SettingsLocation, TheFirstStartSeedsTheUsersFileAndShowsNoMessage) {
    test::RecordingServices services;
    CASCIIU pane(services);
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_EQ(pane.settings().size(), 6u) << "the starter settings";
    QFile starter(QStringLiteral(QH_SOURCE_DIR "/res/quillhorn.conf"));
    ASSERT_TRUE(starter.open(QIODevice::ReadOnly));
    EXPECT_EQ(read(userFile()), starter.readAll());
    EXPECT_FALSE(QFile::exists(work() + QStringLiteral("/quillhorn.conf"))) << "the working folder stays as it was";
}

TEST_F(SettingsLocation, TheUsersFileIsReadAsItIsAndTheWorkingFoldersFileWins) {
    const QByteArray mine = "[ASCII]\r\ncount=0\r\n";
    write(userFile(), mine);
    EXPECT_EQ(QString::fromStdString(SettingsFilePath()), userFile());
    EXPECT_EQ(read(userFile()), mine);

    // $XDG_CONFIG_HOME moves the user's folder.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root_.filePath(QStringLiteral("config"))));
    EXPECT_EQ(QString::fromStdString(SettingsFilePath()),
              root_.filePath(QStringLiteral("config/quillhorn/quillhorn.conf")));

    write(work() + QStringLiteral("/quillhorn.conf"), mine);
    EXPECT_EQ(SettingsFilePath(), "quillhorn.conf");
}

} // namespace
} // namespace qh
