#include "recording_services.h"
#include "rsa_loader.h"
#include "rsa_tool_pane.h"
#include "stub_rsa_component.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace qh {
namespace {

const QString kTitle = QStringLiteral("QUILLHORN RSATOOL");

// A component whose answers the test sets. Unset methods fail.
class FakeRsa : public test::StubRsaComponent {
public:
    bool fail = false;           // every call fails with QH_RSA_E_INTERNAL
    std::string prime = "b";     // RandomPrime's answer
    std::string product = "79";  // Multiply's answer
    std::string exponent = "7";  // RandomExponent's answer
    std::string inverse = "3";   // InverseModPhi's answer
    std::string power = "1234";  // PowerMod's answer
    int powerStatus = QH_RSA_OK; // PowerMod's status
    std::vector<int> primeWords; // RandomPrime's arguments
    int exponentCalls = 0;

    int RandomPrime(int words, char* out, std::size_t size, std::size_t* len) override {
        primeWords.push_back(words);
        return answer(prime, out, size, len);
    }
    int IsPrime(const char*, int* yes) override { return yesNo(yes); }
    int Multiply(const char*, const char*, char* out, std::size_t size, std::size_t* len) override {
        return answer(product, out, size, len);
    }
    int RandomExponent(char* out, std::size_t size, std::size_t* len) override {
        ++exponentCalls;
        return answer(exponent, out, size, len);
    }
    int InverseModPhi(const char*, const char*, const char*, char* out, std::size_t size, std::size_t* len) override {
        return answer(inverse, out, size, len);
    }
    int PowerMod(const char*, const char*, const char*, char* out, std::size_t size, std::size_t* len) override {
        return powerStatus != QH_RSA_OK ? powerStatus : answer(power, out, size, len);
    }
    int IsCoprimeToPhi(const char*, const char*, const char*, int* yes) override { return yesNo(yes); }

private:
    int answer(const std::string& value, char* out, std::size_t size, std::size_t* len) {
        return fail ? QH_RSA_E_INTERNAL : Put(value, out, size, len);
    }
    int yesNo(int* yes) {
        if (fail)
            return QH_RSA_E_INTERNAL;
        *yes = 1;
        return QH_RSA_OK;
    }
};

class RsaToolPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(loader.load(QH_TEST_RSA_COMPONENT), RsaLoadResult::Loaded) << loader.errorText();
        SetRsaComponent(loader.component());
        pane = std::make_unique<CRSATool>(services);
        pane->createWindow(&host);
        host.show();
    }
    void TearDown() override {
        pane.reset();
        SetRsaComponent(nullptr);
    }

    template <typename T> T* find(const char* name) {
        T* widget = pane->window()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // Clicks as a user does and waits until a job the click started is done.
    void click(const char* button) {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !pane->jobRunning(); }, 120000));
    }
    QPlainTextEdit* box(const char* name) { return find<QPlainTextEdit>(name); }
    QString text(const char* name) { return box(name)->toPlainText(); }
    // Types `value` into a box and lets it lose the focus, as leaving it does.
    void type(const char* name, const QString& value) {
        QPlainTextEdit* edit = box(name);
        edit->setPlainText(value);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit, &out);
    }
    void setKeyLength(const QString& length) { find<QComboBox>("keyLengthCombo")->setEditText(length); }
    // The clipboard after "copy result": n, e, d as stored.
    QByteArray copied() {
        click("copyResultButton");
        return services.clipboard;
    }

    void expectOneMessage(const QString& text, const QString& caption, MessageKind kind) {
        ASSERT_EQ(services.messages.size(), 1) << text.toStdString();
        EXPECT_EQ(services.messages[0].text, text);
        EXPECT_EQ(services.messages[0].caption, caption);
        EXPECT_EQ(services.messages[0].kind, kind);
        services.messages.clear();
    }

    RsaComponentLoader loader;
    QWidget host;
    test::RecordingServices services;
    std::unique_ptr<CRSATool> pane;
};

TEST_F(RsaToolPaneTest, InitialStateAndHelp) {
    EXPECT_EQ(find<QComboBox>("keyLengthCombo")->currentText(), QStringLiteral("512"));
    EXPECT_EQ(find<QComboBox>("keyLengthCombo")->count(), 4);
    EXPECT_TRUE(find<QRadioButton>("hexadecimalRadio")->isChecked());
    for (const char* name : {"pEdit", "qEdit", "nEdit", "eEdit", "dEdit"})
        EXPECT_TRUE(text(name).isEmpty()) << name;

    click("helpButton");
    ASSERT_EQ(services.openedUrls.size(), 1);
    EXPECT_EQ(services.openedUrls[0].toString(),
              QStringLiteral("https://quillhorn.example.org/map.htm?id=help&arg=id=qh_rsatool"));
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(RsaToolPaneTest, KeyLengthIsTheTypedTextWithoutCompletion) {
    FakeRsa fake;
    SetRsaComponent(&fake);
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    QLineEdit* edit = find<QComboBox>("keyLengthCombo")->lineEdit();
    for (const char* length : {"10", "1024", "1000", "abc", "4096", "8192"}) {
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, QString::fromLatin1(length));
        click("randomPButton");
        EXPECT_EQ(edit->text(), QString::fromLatin1(length));
    }
    EXPECT_EQ(fake.primeWords, (std::vector<int>{1, 16, 15, 1, 64, 128}));
    EXPECT_EQ(text("pEdit"), QStringLiteral("b"));
    EXPECT_TRUE(services.messages.isEmpty());

    // No key is longer than 8192 bits: the length is refused, nothing changes.
    setKeyLength(QStringLiteral("100000"));
    click("randomQButton");
    expectOneMessage(QStringLiteral("计算失败, 秘匙长度不能超过 8192!"), kTitle, MessageKind::Error);
    click("generateAllButton");
    expectOneMessage(QStringLiteral("计算失败, 秘匙长度不能超过 8192!"), kTitle, MessageKind::Error);
    EXPECT_EQ(fake.primeWords.size(), 6u);
    EXPECT_TRUE(text("qEdit").isEmpty());
    EXPECT_GE(find<QComboBox>("keyLengthCombo")->width(),
              find<QComboBox>("keyLengthCombo")->fontMetrics().horizontalAdvance(QStringLiteral("100000")));
}

TEST_F(RsaToolPaneTest, GenerateAllCountsAttemptsAndReportsFailure) {
    FakeRsa fake;
    SetRsaComponent(&fake);
    click("generateAllButton");
    expectOneMessage(QStringLiteral("生成成功,尝试了 1 次!"), kTitle, MessageKind::Information);
    EXPECT_EQ(fake.exponentCalls, 1);
    EXPECT_EQ(text("nEdit"), QStringLiteral("79"));
    EXPECT_EQ(copied(), QByteArray("79\r\n7\r\n3"));

    // No round trip passes: 50 attempts, the numbers still shown.
    fake.power = "99";
    fake.exponent = "5";
    click("generateAllButton");
    expectOneMessage(QStringLiteral("生成失败,请重试!"), QStringLiteral("ERROR"), MessageKind::Error);
    EXPECT_EQ(fake.exponentCalls, 51);
    EXPECT_EQ(text("eEdit"), QStringLiteral("5"));
}

TEST_F(RsaToolPaneTest, GenerateAllWithTheComponentMakesAWorkingKey) {
    setKeyLength(QStringLiteral("128"));
    click("generateAllButton");
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_TRUE(services.messages[0].text.startsWith(QStringLiteral("生成成功,尝试了 ")));
    services.messages.clear();
    for (const char* name : {"pEdit", "qEdit", "nEdit", "eEdit", "dEdit"})
        EXPECT_FALSE(text(name).isEmpty()) << name;
    EXPECT_EQ(text("pEdit").size(), 16); // 64-bit primes

    click("checkResultButton");
    expectOneMessage(QStringLiteral("检测成功!"), kTitle, MessageKind::Information);
    click("testPButton");
    expectOneMessage(QStringLiteral("检测成功, p 是素数!"), kTitle, MessageKind::Information);
    click("testNButton");
    expectOneMessage(QStringLiteral("检测成功!"), kTitle, MessageKind::Information);
    click("testEButton");
    expectOneMessage(QStringLiteral("检测成功!"), kTitle, MessageKind::Information);
    click("testDButton");
    expectOneMessage(QStringLiteral("检测成功!"), kTitle, MessageKind::Information);

    // The copied key, as the RSA pane pastes it, carries a text there and back.
    const QList<QByteArray> key = copied().split('\n');
    ASSERT_EQ(key.size(), 3);
    const std::string n = key[0].chopped(1).toStdString(), e = key[1].chopped(1).toStdString();
    const std::string d = key[2].toStdString();
    RsaClient client(*loader.component());
    const std::string plain = "\xC4\xE3\xBA\xC3, RSA"; // GBK Chinese and ASCII
    const RsaResult cipher = client.encryptString(n, e, plain);
    ASSERT_TRUE(cipher.ok()) << cipher.status;
    const RsaResult back = client.decryptString(n, d, cipher.value);
    ASSERT_TRUE(back.ok()) << back.status;
    EXPECT_EQ(back.value, plain);

    // Another d breaks the key.
    type("dEdit", QStringLiteral("3"));
    click("checkResultButton");
    expectOneMessage(QStringLiteral("检测失败!"), kTitle, MessageKind::Error);
}

TEST_F(RsaToolPaneTest, StepByStepWithTheComponent) {
    // p = 11, q = 13 (hexadecimal b and d); phi = 120; e = 7 gives d = 103 (0x67).
    type("pEdit", QStringLiteral("b"));
    type("qEdit", QStringLiteral("d"));
    click("computeNButton");
    EXPECT_EQ(text("nEdit"), QStringLiteral("8f"));
    type("eEdit", QStringLiteral("7"));
    click("computeDButton");
    EXPECT_EQ(text("dEdit"), QStringLiteral("67"));
    type("eEdit", QString());
    click("computeEButton");
    EXPECT_EQ(text("eEdit"), QStringLiteral("7"));
    EXPECT_TRUE(services.messages.isEmpty());
    // The round trip of 1234 (hexadecimal) needs a larger n.
    click("checkResultButton");
    expectOneMessage(QStringLiteral("检测失败!"), kTitle, MessageKind::Error);

    type("qEdit", QStringLiteral("f"));
    click("testQButton");
    expectOneMessage(QStringLiteral("检测失败, q 不是素数!"), kTitle, MessageKind::Error);
    type("pEdit", QStringLiteral("9"));
    click("testPButton");
    expectOneMessage(QStringLiteral("检测失败, p 不是素数!"), kTitle, MessageKind::Error);
    type("pEdit", QStringLiteral("b"));
    type("qEdit", QStringLiteral("d"));
    type("eEdit", QStringLiteral("3")); // 3 divides 120
    click("testEButton");
    expectOneMessage(QStringLiteral("检测失败, e 和 (p-1)(q-1) 不是互相素的!"), kTitle, MessageKind::Error);
    type("dEdit", QStringLiteral("5"));
    click("testDButton");
    expectOneMessage(QStringLiteral("检测失败, d 和 (p-1)(q-1) 不是互相素的!"), kTitle, MessageKind::Error);

    click("randomEButton");
    click("randomDButton");
    click("randomQButton");
    EXPECT_EQ(text("eEdit").size(), 256);
    EXPECT_EQ(text("dEdit").size(), 256);
    EXPECT_EQ(text("qEdit").size(), 64); // 512-bit key
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(RsaToolPaneTest, NTestComparesValues) {
    type("pEdit", QStringLiteral("b"));
    type("qEdit", QStringLiteral("d"));
    for (const char* n : {"8F", "008f", "8f"}) {
        type("nEdit", QString::fromLatin1(n));
        click("testNButton");
        expectOneMessage(QStringLiteral("检测成功!"), kTitle, MessageKind::Information);
    }

    // A wrong n: No keeps it, Yes corrects it.
    const QString question = QStringLiteral("检测失败,是否将 n 改为正确的值?");
    type("nEdit", QStringLiteral("8e"));
    services.questionAnswers = {MessageAnswer::No};
    click("testNButton");
    expectOneMessage(question, kTitle, MessageKind::Question);
    EXPECT_EQ(copied(), QByteArray("8e\r\n\r\n"));
    services.questionAnswers = {MessageAnswer::Yes};
    click("testNButton");
    expectOneMessage(question, kTitle, MessageKind::Question);
    EXPECT_EQ(text("nEdit"), QStringLiteral("8f"));
    EXPECT_EQ(copied(), QByteArray("8f\r\n\r\n"));
}

TEST_F(RsaToolPaneTest, EmptyInputsAreReported) {
    type("pEdit", QStringLiteral("b"));
    type("eEdit", QStringLiteral("7"));
    type("dEdit", QStringLiteral("67"));
    // q is empty.
    click("computeDButton");
    expectOneMessage(QStringLiteral("p,q,e 之一为空!"), kTitle, MessageKind::Information);
    click("testEButton");
    expectOneMessage(QStringLiteral("p,q,e 之一为空!"), kTitle, MessageKind::Information);
    click("computeEButton");
    expectOneMessage(QStringLiteral("p,q,d 之一为空!"), kTitle, MessageKind::Information);
    click("testDButton");
    expectOneMessage(QStringLiteral("p,q,d 之一为空!"), kTitle, MessageKind::Information);
    EXPECT_EQ(text("dEdit"), QStringLiteral("67"));
    EXPECT_EQ(text("eEdit"), QStringLiteral("7"));

    // Commands without an emptiness check hand the empty number to the
    // component, which refuses it: a failure message, nothing changes.
    click("testQButton");
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_TRUE(services.messages[0].text.startsWith(QStringLiteral("计算失败")));
    EXPECT_EQ(services.messages[0].caption, kTitle);
    EXPECT_EQ(services.messages[0].kind, MessageKind::Error);
    services.messages.clear();
    click("computeNButton");
    EXPECT_EQ(services.messages.size(), 1);
    EXPECT_TRUE(text("nEdit").isEmpty());
}

TEST_F(RsaToolPaneTest, CopyResultIsHexadecimalWithEmptyPartsKept) {
    type("nEdit", QStringLiteral("8f"));
    type("dEdit", QStringLiteral("67"));
    find<QRadioButton>("decimalRadio")->click();
    EXPECT_EQ(copied(), QByteArray("8f\r\n\r\n67"));

    services.clipboardOpenable = false;
    services.clipboard.clear();
    click("copyResultButton");
    expectOneMessage(QStringLiteral("不能打开剪贴板."), QStringLiteral("ERROR"), MessageKind::Error);
}

TEST_F(RsaToolPaneTest, DecimalDisplayConvertsBothWays) {
    type("nEdit", QStringLiteral("FF"));
    type("eEdit", QStringLiteral("0"));
    find<QRadioButton>("decimalRadio")->click();
    EXPECT_EQ(text("nEdit"), QStringLiteral("255"));
    EXPECT_EQ(text("eEdit"), QStringLiteral("0"));
    EXPECT_TRUE(text("pEdit").isEmpty());

    // Blanks and line breaks inside a number are ignored.
    type("dEdit", QStringLiteral("123456789 012345678\r\n901234567890"));
    type("pEdit", QStringLiteral("11"));
    find<QRadioButton>("hexadecimalRadio")->click();
    EXPECT_EQ(text("dEdit"), QStringLiteral("18ee90ff6c373e0ee4e3f0ad2"));
    EXPECT_EQ(text("pEdit"), QStringLiteral("b"));
    EXPECT_EQ(text("nEdit"), QStringLiteral("FF")); // stored as typed
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(RsaToolPaneTest, InvalidDigitsAreRefusedAndTheOldValueKept) {
    type("pEdit", QStringLiteral("abc"));
    // A context menu opening does not read the box.
    box("pEdit")->setPlainText(QStringLiteral("abg"));
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(box("pEdit"), &popup);
    EXPECT_TRUE(services.messages.isEmpty());
    type("pEdit", QStringLiteral("abg"));
    expectOneMessage(QStringLiteral("p 不是有效的十六进制数!"), kTitle, MessageKind::Error);
    EXPECT_EQ(text("pEdit"), QStringLiteral("abc"));

    find<QRadioButton>("decimalRadio")->click();
    type("dEdit", QStringLiteral("12a"));
    expectOneMessage(QStringLiteral("d 不是有效的十进制数!"), kTitle, MessageKind::Error);
    EXPECT_TRUE(text("dEdit").isEmpty());
    type("pEdit", QStringLiteral("-5"));
    expectOneMessage(QStringLiteral("p 不是有效的十进制数!"), kTitle, MessageKind::Error);
    EXPECT_EQ(text("pEdit"), QStringLiteral("2748"));
}

TEST_F(RsaToolPaneTest, FailingComponentKeepsEveryNumber) {
    type("pEdit", QStringLiteral("b"));
    type("qEdit", QStringLiteral("d"));
    type("nEdit", QStringLiteral("8f"));
    type("eEdit", QStringLiteral("7"));
    type("dEdit", QStringLiteral("67"));
    FakeRsa fake;
    fake.fail = true;
    SetRsaComponent(&fake);
    const char* commands[] = {"randomPButton",  "randomQButton", "testPButton",      "testQButton", "computeNButton",
                              "testNButton",    "randomEButton", "computeEButton",   "testEButton", "randomDButton",
                              "computeDButton", "testDButton",   "generateAllButton"};
    for (const char* command : commands) {
        click(command);
        ASSERT_EQ(services.messages.size(), 1) << command;
        EXPECT_TRUE(services.messages[0].text.startsWith(QStringLiteral("计算失败"))) << command;
        EXPECT_EQ(services.messages[0].caption, kTitle) << command;
        EXPECT_EQ(services.messages[0].kind, MessageKind::Error) << command;
        services.messages.clear();
    }
    EXPECT_EQ(text("pEdit"), QStringLiteral("b"));
    EXPECT_EQ(text("qEdit"), QStringLiteral("d"));
    EXPECT_EQ(copied(), QByteArray("8f\r\n7\r\n67"));

    // A component failing in the middle of "generate all" changes nothing either.
    fake.fail = false;
    fake.powerStatus = QH_RSA_E_ARGUMENT;
    click("generateAllButton");
    EXPECT_EQ(services.messages.size(), 1);
    EXPECT_EQ(copied(), QByteArray("8f\r\n7\r\n67"));

    // No component at all.
    SetRsaComponent(nullptr);
    services.messages.clear();
    click("generateAllButton");
    click("randomPButton");
    EXPECT_EQ(services.messages.size(), 2);
    EXPECT_EQ(text("pEdit"), QStringLiteral("b"));
}

TEST_F(RsaToolPaneTest, EveryShowingStartsWithNoNumbersAndKeyLength512) {
    type("pEdit", QStringLiteral("b"));
    setKeyLength(QStringLiteral("1024"));
    find<QRadioButton>("decimalRadio")->click();
    pane->createWindow(&host);
    EXPECT_TRUE(find<QRadioButton>("hexadecimalRadio")->isChecked());
    EXPECT_EQ(find<QComboBox>("keyLengthCombo")->currentText(), QStringLiteral("512"));
    for (const char* name : {"pEdit", "qEdit", "nEdit", "eEdit", "dEdit"})
        EXPECT_TRUE(text(name).isEmpty()) << name;
    EXPECT_EQ(copied(), QByteArray("\r\n\r\n"));
}

} // namespace
} // namespace qh
