#include "byte_source.h"
#include "hash_input.h"
#include "recording_services.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace qh {
namespace {

// Every byte of a source, read as the byte-wise readers do.
QByteArray allBytes(ByteSource& source) {
    QByteArray bytes;
    for (std::uint64_t i = 0; i < source.Size(); ++i)
        bytes.append(static_cast<char>(source.At(i)));
    return bytes;
}

class HashInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildHashInputGroup(services, &pane, controls);
        pane.show();
    }

    // Runs OpenHashInput with `kind` selected and `text` in the edit that kind reads.
    std::unique_ptr<ByteSource> open(HashInputKind kind, const QString& text) {
        controls.kind->setCurrentIndex(static_cast<int>(kind));
        if (kind == HashInputKind::File)
            controls.path->setText(text);
        else
            controls.text->setPlainText(text);
        return OpenHashInput(services, &pane, controls, [this] { ++clears; });
    }

    void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QWidget pane;
    test::RecordingServices services;
    HashInputControls controls;
    int clears = 0;
};

TEST_F(HashInputTest, KindSwitchesTheEditsWithoutClearingThem) {
    EXPECT_EQ(controls.kind->count(), 3);
    EXPECT_EQ(controls.kind->itemText(2), QStringLiteral("字节串"));
    EXPECT_EQ(SelectedHashInputKind(controls), HashInputKind::File);
    EXPECT_TRUE(controls.path->isEnabled());
    EXPECT_TRUE(controls.browse->isEnabled());
    EXPECT_FALSE(controls.text->isEnabled());

    controls.path->setText(QStringLiteral("/some/file"));
    controls.kind->setCurrentIndex(1);
    EXPECT_FALSE(controls.path->isEnabled());
    EXPECT_FALSE(controls.browse->isEnabled());
    EXPECT_TRUE(controls.text->isEnabled());
    controls.text->setPlainText(QStringLiteral("typed"));
    controls.kind->setCurrentIndex(2);
    EXPECT_TRUE(controls.text->isEnabled());
    controls.kind->setCurrentIndex(0);
    EXPECT_TRUE(controls.path->isEnabled());
    EXPECT_FALSE(controls.text->isEnabled());
    EXPECT_EQ(controls.path->text(), QStringLiteral("/some/file"));
    EXPECT_EQ(controls.text->toPlainText(), QStringLiteral("typed"));

    // No entry selected counts as the text kind, for the rule and the input.
    controls.kind->setCurrentIndex(-1);
    EXPECT_EQ(SelectedHashInputKind(controls), HashInputKind::Text);
    EXPECT_FALSE(controls.path->isEnabled());
    EXPECT_TRUE(controls.text->isEnabled());
    std::unique_ptr<ByteSource> source = OpenHashInput(services, &pane, controls, {});
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(allBytes(*source), QByteArray("typed"));
}

TEST_F(HashInputTest, BrowsePutsTheChosenPathIntoThePathEdit) {
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("in.bin"));
    services.fileAnswers = {chosen, QString()};
    QTest::mouseClick(controls.browse, Qt::LeftButton);
    ASSERT_EQ(services.dialogs.size(), 1);
    EXPECT_FALSE(services.dialogs[0].save);
    EXPECT_EQ(services.dialogs[0].options.filter, inputFileDialogOptions().filter);
    EXPECT_EQ(controls.path->text(), chosen);
    QTest::mouseClick(controls.browse, Qt::LeftButton); // cancelled: the path stays
    EXPECT_EQ(controls.path->text(), chosen);
}

TEST_F(HashInputTest, TextsBecomeTheirCodePageBytes) {
    struct Case {
        HashInputKind kind;
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {HashInputKind::Text, QStringLiteral("a\nb"), QByteArray("a\r\nb")},
        {HashInputKind::Text, QStringLiteral("中"), QByteArray("\xD6\xD0")},
        {HashInputKind::ByteString, QStringLiteral("AD 3E B2"), QByteArray("\xAD\x3E\xB2")},
        {HashInputKind::ByteString, QStringLiteral("ad 3e b2"), QByteArray("\xAD\x3E\xB2")},
        {HashInputKind::ByteString, QStringLiteral("AD 3E B2 "), QByteArray("\xAD\x3E\xB2")},
        {HashInputKind::ByteString, QStringLiteral("AD3EB2"), QByteArray("\xAD\xEB")},
        {HashInputKind::ByteString, QStringLiteral("AD\t3E"), QByteArray("\xAD\x3E")},
        {HashInputKind::ByteString, QStringLiteral("00 41"), QByteArray("\x00\x41", 2)},
        {HashInputKind::ByteString, QStringLiteral("A"), QByteArray("\x0A")},
    };
    for (const Case& each : cases) {
        std::unique_ptr<ByteSource> source = open(each.kind, each.text);
        ASSERT_NE(source, nullptr) << each.text.toStdString();
        EXPECT_EQ(allBytes(*source).toHex(' '), each.bytes.toHex(' ')) << each.text.toStdString();
    }
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_EQ(clears, 0);
}

TEST_F(HashInputTest, EmptyTextsGiveNothingAndBadByteStringsAreRefused) {
    EXPECT_EQ(open(HashInputKind::Text, QString()), nullptr);
    EXPECT_EQ(open(HashInputKind::ByteString, QString()), nullptr);
    EXPECT_TRUE(services.messages.isEmpty());

    const QString refused[] = {QStringLiteral("0xAD"), QStringLiteral("AD,3E"),  QStringLiteral("AD -3E"),
                               QStringLiteral("AG"),   QStringLiteral("AD\n3E"), QStringLiteral("AD 中")};
    for (const QString& text : refused) {
        services.messages.clear();
        EXPECT_EQ(open(HashInputKind::ByteString, text), nullptr) << text.toStdString();
        ASSERT_EQ(services.messages.size(), 1) << text.toStdString();
        EXPECT_EQ(services.messages[0].text, QStringLiteral("字节串格式错误!"));
        EXPECT_TRUE(services.messages[0].caption.isEmpty());
        EXPECT_EQ(services.messages[0].kind, MessageKind::Plain);
        EXPECT_EQ(services.messages[0].owner, &pane);
    }
    EXPECT_EQ(clears, 0); // a refused byte string leaves the output alone
}

TEST_F(HashInputTest, FilesThatCannotBeOpenedAreReportedAndEmptyFilesAreRead) {
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.bin"));
    const QString abc = dir.filePath(QStringLiteral("abc.bin"));
    writeFile(empty, QByteArray());
    writeFile(abc, QByteArray("abc"));

    EXPECT_EQ(open(HashInputKind::File, QString()), nullptr); // an empty path does nothing
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_EQ(clears, 0);

    std::unique_ptr<ByteSource> source = open(HashInputKind::File, empty);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->Size(), 0u);
    source = open(HashInputKind::File, abc);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(allBytes(*source), QByteArray("abc"));
    EXPECT_TRUE(services.messages.isEmpty());

    const QString missing = dir.filePath(QStringLiteral("missing.bin"));
    for (const QString& path : {missing, dir.path()}) {
        services.messages.clear();
        clears = 0;
        EXPECT_EQ(open(HashInputKind::File, path), nullptr) << path.toStdString();
        EXPECT_EQ(clears, 1);
        ASSERT_EQ(services.messages.size(), 1);
        EXPECT_EQ(services.messages[0].text, QStringLiteral("不能打开文件 ") + path);
        EXPECT_EQ(services.messages[0].caption, QStringLiteral("ERROR"));
        EXPECT_EQ(services.messages[0].kind, MessageKind::Error);
    }
}

TEST_F(HashInputTest, PathsAreNeitherCutNorMangled) {
    // A path far beyond 259 characters, with Chinese folder names.
    QTemporaryDir dir;
    QString folder = dir.path();
    while (folder.size() < 400)
        folder += QStringLiteral("/文件夹_0123456789_abcdefghij");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/数据.bin");
    writeFile(path, QByteArray("xyz"));
    std::unique_ptr<ByteSource> source = open(HashInputKind::File, path);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(allBytes(*source), QByteArray("xyz"));
}

} // namespace
} // namespace qh
