// The fixture the pane tests share: a pane with its window shown on a host,
// the recording services, a scratch folder, and helpers to reach controls by
// objectName and to check the one message a command showed.
#ifndef QUILLHORN_PANE_TEST_FIXTURE_H
#define QUILLHORN_PANE_TEST_FIXTURE_H

#include "recording_services.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace qh::test {

template <typename Pane> class PaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        pane = std::make_unique<Pane>(services);
        pane->createWindow(&host);
        host.show();
    }

    template <typename T> T* find(const char* name) {
        T* widget = pane->window()->template findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // Clicks as a user does and waits until a job the click started is done.
    void click(const char* button) {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
        settle();
    }
    void settle() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !pane->jobRunning(); }, 120000));
    }

    // Exactly one message was shown, with this text, caption and kind; it is
    // then forgotten, so the next check starts afresh.
    void expectOneMessage(const QString& text, const QString& caption, MessageKind kind) {
        ASSERT_EQ(services.messages.size(), 1) << text.toStdString();
        EXPECT_EQ(services.messages[0].text, text);
        EXPECT_EQ(services.messages[0].caption, caption);
        EXPECT_EQ(services.messages[0].kind, kind);
        services.messages.clear();
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QByteArray readFile(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }

    QTemporaryDir dir;
    QWidget host;
    RecordingServices services;
    std::unique_ptr<Pane> pane;
};

} // namespace qh::test

#endif
