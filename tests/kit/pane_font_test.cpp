#include "pane_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <gtest/gtest.h>

namespace qh {
namespace {

const QString kFangSong = QStringLiteral("仿宋_GB2312");

TEST(ChooseFamily, TheNamedFamilyWhenInstalledInAnyCase) {
    const QStringList installed{QStringLiteral("DejaVu Sans"), QStringLiteral("仿宋_GB2312"),
                                QStringLiteral("Liberation Serif")};
    EXPECT_EQ(ChooseFamily(kFangSong, FontKind::Serif, installed, {kFangSong}), kFangSong);
    EXPECT_EQ(ChooseFamily(QStringLiteral("liberation serif"), FontKind::Serif, installed, {}),
              QStringLiteral("Liberation Serif"));
    // Installed without Chinese support still counts: the pane asked for it.
    EXPECT_EQ(ChooseFamily(QStringLiteral("DejaVu Sans"), FontKind::Serif, installed, {kFangSong}),
              QStringLiteral("DejaVu Sans"));
}

TEST(ChooseFamily, FallsBackToAChineseFontOfTheSameKind) {
    const QStringList chinese{QStringLiteral("Droid Sans Fallback"), QStringLiteral("WenQuanYi Zen Hei"),
                              QStringLiteral("AR PL UMing TW"), QStringLiteral("AR PL UMing CN")};
    QStringList installed = chinese;
    installed << QStringLiteral("DejaVu Serif");
    // Known families, in their order of preference, whatever the installed order.
    EXPECT_EQ(ChooseFamily(kFangSong, FontKind::Serif, installed, chinese), QStringLiteral("AR PL UMing CN"));
    EXPECT_EQ(ChooseFamily(kFangSong, FontKind::Sans, installed, chinese), QStringLiteral("WenQuanYi Zen Hei"));
    // A known name matches in any case; a known family without Chinese support is skipped.
    EXPECT_EQ(ChooseFamily(kFangSong, FontKind::Serif, {QStringLiteral("ar pl uming cn")},
                           {QStringLiteral("ar pl uming cn")}),
              QStringLiteral("ar pl uming cn"));
    EXPECT_EQ(ChooseFamily(kFangSong, FontKind::Serif, {QStringLiteral("AR PL UMing CN"), QStringLiteral("X")},
                           {QStringLiteral("X")}),
              QStringLiteral("X"));

    // No known family: one whose name says its kind ("Sans" is never serif).
    const QStringList unknown{QStringLiteral("Foo Sans SC"), QStringLiteral("Bar Hei"), QStringLiteral("Baz Song"),
                              QStringLiteral("Qux Serif")};
    EXPECT_EQ(ChooseFamily(kFangSong, FontKind::Serif, unknown, unknown), QStringLiteral("Baz Song"));
    EXPECT_EQ(ChooseFamily(kFangSong, FontKind::Sans, unknown, unknown), QStringLiteral("Foo Sans SC"));
    EXPECT_EQ(ChooseFamily(kFangSong, FontKind::Serif, {},
                           {QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("FangSong")}),
              QStringLiteral("FangSong"));
    // Nothing of the kind: any Chinese family.
    EXPECT_EQ(ChooseFamily(kFangSong, FontKind::Serif, {}, {QStringLiteral("Foo Sans SC")}),
              QStringLiteral("Foo Sans SC"));
    EXPECT_EQ(ChooseFamily(kFangSong, FontKind::Sans, {}, {QStringLiteral("Plain CJK")}), QStringLiteral("Plain CJK"));
}

TEST(ChooseFamily, NoChineseFontLeavesTheDefault) {
    EXPECT_TRUE(ChooseFamily(kFangSong, FontKind::Serif, {QStringLiteral("DejaVu Serif")}, {}).isEmpty());
    EXPECT_TRUE(ChooseFamily(kFangSong, FontKind::Sans, {}, {}).isEmpty());
}

TEST(PaneFont, KeepsTheSizeAndHintAndCanDrawChinese) {
    for (FontKind kind : {FontKind::Serif, FontKind::Sans}) {
        const QFont font = PaneFont(kFangSong, 12, kind);
        EXPECT_EQ(font.pointSize(), 12);
        EXPECT_EQ(font.styleHint(), kind == FontKind::Serif ? QFont::Serif : QFont::SansSerif);
        const QString expected = ChooseFamily(kFangSong, kind, QFontDatabase::families(),
                                              QFontDatabase::families(QFontDatabase::SimplifiedChinese));
        if (!expected.isEmpty()) {
            EXPECT_EQ(QFontInfo(font).family(), expected);
        }
    }
}

} // namespace
} // namespace qh
