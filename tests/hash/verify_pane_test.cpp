// The verify pane as a user drives it: a folder checked against the
// SHA256SUMS that sha256sum wrote, pasted digests colouring the cells, sum
// lists saved that read back, and what it says when there is nothing to do.
#include "pane_test_fixture.h"
#include "verify_pane.h"

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QTableWidget>
#include <QUrl>
#include <gtest/gtest.h>

namespace qh {
namespace {

class VerifyPaneTest : public test::PaneTest<CVerifyDlg> {
protected:
    QTableWidget* table() { return find<QTableWidget>("fileTable"); }
    QStringList headers() {
        QStringList texts;
        for (int c = 0; c < table()->columnCount(); ++c)
            texts.append(table()->horizontalHeaderItem(c)->text());
        return texts;
    }
    // The cell of the row whose file column reads `file`, under `header`.
    QTableWidgetItem* cell(const QString& file, const QString& header) {
        const int column = static_cast<int>(headers().indexOf(header));
        for (int r = 0; r < table()->rowCount(); ++r)
            if (table()->item(r, 0)->text() == file && column >= 0)
                return table()->item(r, column);
        ADD_FAILURE() << file.toStdString() << " / " << header.toStdString();
        static QTableWidgetItem none;
        return &none;
    }
    QColor colour(const QString& file, const QString& header) {
        const QBrush brush = cell(file, header)->background();
        return brush.style() == Qt::NoBrush ? QColor() : brush.color();
    }
    QString summary() { return find<QLabel>("summaryLabel")->text(); }
    void tick(const char* box, bool on) {
        auto* check = find<QCheckBox>(box);
        if (check->isChecked() != on)
            QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        EXPECT_EQ(check->isChecked(), on) << box;
    }
    // Files dropped on the table as a file manager drops them.
    void drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        QWidget* target = table()->viewport();
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        settle();
    }
    // A coreutils tool run in the test's folder; its standard output.
    QByteArray run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return process.readAllStandardOutput();
    }
    void typeExpected(const QString& text) {
        auto* edit = find<QLineEdit>("expectedEdit");
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
};

TEST_F(VerifyPaneTest, ChecksAFolderAgainstTheSha256SumsOfSha256sumAndFlagsTheFileChangedSince) {
    writeFile(QStringLiteral("a.txt"), "first");
    // Larger than two read buffers, so that a second thread digests too.
    writeFile(QStringLiteral("with blank.bin"), QByteArray(700 * 1024, 'w'));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    writeFile(QStringLiteral("sub/c.dat"), "third");
    writeFile(QStringLiteral("gone.txt"), "soon gone");
    QByteArray sums = run(QStringLiteral("sha256sum"), {"a.txt", "with blank.bin", "sub/c.dat", "gone.txt"});
    ASSERT_EQ(sums.count('\n'), 4);
    const QString list = writeFile(QStringLiteral("SHA256SUMS"), sums + "# a comment\nnot a sum line\n");
    writeFile(QStringLiteral("a.txt"), "changed");
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("gone.txt"))));

    services.fileAnswers = {list};
    click("openSumListButton");
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_EQ(headers(), (QStringList{"文件", "大小", "结果", "SHA-256"}));
    const QString verdict = QStringLiteral("结果");
    EXPECT_EQ(cell("a.txt", verdict)->text(), QStringLiteral("失败"));
    EXPECT_EQ(cell("with blank.bin", verdict)->text(), QStringLiteral("通过"));
    EXPECT_EQ(cell("sub/c.dat", verdict)->text(), QStringLiteral("通过"));
    EXPECT_EQ(cell("gone.txt", verdict)->text(), QStringLiteral("缺失"));
    EXPECT_EQ(colour("a.txt", "SHA-256"), CVerifyDlg::kMismatchColour);
    EXPECT_EQ(colour("sub/c.dat", "SHA-256"), CVerifyDlg::kMatchColour);
    EXPECT_EQ(cell("sub/c.dat", "SHA-256")->text(), QString::fromLatin1(sums.split('\n')[2].left(64)));
    EXPECT_EQ(summary(), QStringLiteral("共 4 个文件: 2 个通过, 1 个失败, 1 个缺失, 1 行格式不对"));
    // The list chose the columns.
    EXPECT_TRUE(find<QCheckBox>("sha256Check")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("md5Check")->isChecked());

    // Put right, the file passes when the files are digested again.
    writeFile(QStringLiteral("a.txt"), "first");
    click("computeButton");
    EXPECT_EQ(cell("a.txt", verdict)->text(), QStringLiteral("通过"));
    EXPECT_EQ(summary(), QStringLiteral("共 4 个文件: 3 个通过, 0 个失败, 1 个缺失, 1 行格式不对"));

    // A list with no sum line in it says so and leaves the table.
    services.fileAnswers = {writeFile(QStringLiteral("empty.sha256"), "nothing here\n")};
    click("openSumListButton");
    expectOneMessage(QStringLiteral("%1 中没有格式正确的校验和行.").arg(dir.filePath(QStringLiteral("empty.sha256"))),
                     QStringLiteral("ERROR"), MessageKind::Error);
    EXPECT_EQ(table()->rowCount(), 4);
}

TEST_F(VerifyPaneTest, APastedDigestColoursTheCellsItMatchesGreenAndTheOthersRed) {
    writeFile(QStringLiteral("one"), "123456789");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("more")));
    writeFile(QStringLiteral("more/two"), "abc");
    drop({dir.filePath(QStringLiteral("one")), dir.filePath(QStringLiteral("more"))});
    ASSERT_EQ(table()->rowCount(), 2);
    tick("crc16Check", true);
    tick("crcCcittCheck", true);
    click("computeButton");
    EXPECT_EQ(cell("more/two", "MD5")->text(), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));

    // The SHA pane's form: upper case, a blank after each byte.
    typeExpected(QStringLiteral("F7 C3 BC 1D 80 8E 04 73 2A DF 67 99 65 CC C3 4C A7 AE 34 41 "));
    EXPECT_EQ(colour("one", "SHA-1"), CVerifyDlg::kMatchColour);
    EXPECT_EQ(colour("more/two", "SHA-1"), CVerifyDlg::kMismatchColour);
    EXPECT_FALSE(colour("one", "MD5").isValid());
    EXPECT_EQ(summary(), QStringLiteral("期望值与 1 个文件相符."));

    // A line of a list speaks of the file it names only.
    typeExpected(QStringLiteral("900150983CD24FB0D6963F7D28E17F72  two"));
    EXPECT_EQ(colour("more/two", "MD5"), CVerifyDlg::kMatchColour);
    EXPECT_FALSE(colour("one", "MD5").isValid());
    EXPECT_FALSE(colour("one", "SHA-1").isValid());

    // Four digits fit CRC-16 and CRC-CCITT: the one that matches turns green,
    // and a file neither matches is red in both.
    typeExpected(QStringLiteral("29b1"));
    EXPECT_EQ(colour("one", "CRC-CCITT"), CVerifyDlg::kMatchColour);
    EXPECT_FALSE(colour("one", "CRC-16").isValid());
    EXPECT_EQ(colour("more/two", "CRC-16"), CVerifyDlg::kMismatchColour);
    EXPECT_EQ(colour("more/two", "CRC-CCITT"), CVerifyDlg::kMismatchColour);

    typeExpected(QStringLiteral("not a digest"));
    EXPECT_FALSE(colour("one", "CRC-CCITT").isValid());
    EXPECT_EQ(summary(), QStringLiteral("期望值不是散列值."));
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(VerifyPaneTest, SavedListsAreCoreutilsListsAndTheTableCopiesWhole) {
    // Nothing to digest or save yet.
    click("computeButton");
    expectOneMessage(QStringLiteral("请先添加文件."), QStringLiteral("INFORMATION"), MessageKind::Information);
    writeFile(QStringLiteral("x y.bin"), QByteArray(3000, 'x'));
    writeFile(QStringLiteral("back\\slash"), "b");
    services.fileAnswers = {dir.path()};
    click("addFolderButton");
    ASSERT_TRUE(services.dialogs.back().options.folder);
    const QString folderName = QFileInfo(dir.path()).fileName();
    ASSERT_EQ(table()->rowCount(), 2);
    EXPECT_EQ(table()->item(1, 0)->text(), folderName + "/x y.bin");
    click("saveButton");
    expectOneMessage(QStringLiteral("没有可保存的散列值, 请先计算."), QStringLiteral("INFORMATION"),
                     MessageKind::Information);

    tick("sha1Check", false);
    click("computeButton");
    // One plain list per algorithm, named as the coreutils tools name theirs.
    services.fileAnswers = {dir.filePath(QStringLiteral("MD5SUMS")), dir.filePath(QStringLiteral("SHA256SUMS"))};
    click("saveButton");
    ASSERT_EQ(services.dialogs.size(), 3);
    EXPECT_EQ(services.dialogs[1].options.defaultName, QStringLiteral("MD5SUMS"));
    EXPECT_EQ(services.dialogs[2].options.defaultName, QStringLiteral("SHA256SUMS"));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("MD5SUMS"))), run("md5sum", {"back\\slash", "x y.bin"}));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("SHA256SUMS"))), run("sha256sum", {"back\\slash", "x y.bin"}));
    // One tagged list with every algorithm, which reads back in the pane.
    tick("taggedCheck", true);
    services.fileAnswers = {dir.filePath(QStringLiteral("CHECKSUMS"))};
    click("saveButton");
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("CHECKSUMS"))),
              run("md5sum", {"--tag", "back\\slash"}) + run("sha256sum", {"--tag", "back\\slash"}) +
                  run("md5sum", {"--tag", "x y.bin"}) + run("sha256sum", {"--tag", "x y.bin"}));
    services.fileAnswers = {dir.filePath(QStringLiteral("CHECKSUMS"))};
    click("openSumListButton");
    EXPECT_EQ(summary(), QStringLiteral("共 2 个文件: 2 个通过, 0 个失败, 0 个缺失"));

    // The copy holds the whole table, the sizes in bytes.
    click("copyButton");
    const QList<QByteArray> lines = services.clipboard.split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QByteArray("\xCE\xC4\xBC\xFE\t\xB4\xF3\xD0\xA1\t\xBD\xE1\xB9\xFB\tMD5\tSHA-256\r")); // GBK
    EXPECT_TRUE(lines[2].startsWith("x y.bin\t3000\t")) << lines[2].toStdString();
    EXPECT_TRUE(services.messages.isEmpty());
}

} // namespace
} // namespace qh
