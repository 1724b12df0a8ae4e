// The language of the interface: how the command line and the locale choose it,
// that Chinese shows every text as written, and that every text of the sources
// has its English.
#include "qt_translations.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace qh {
namespace {

using Environment = std::map<std::string, QString>;

UiLanguage languageOf(const Environment& environment) {
    return LanguageOfEnvironment([&](const char* name) {
        const auto found = environment.find(name);
        return found == environment.end() ? QString() : found->second;
    });
}

TEST(Language, OnlyAnEnglishLocaleGivesEnglish) {
    const struct {
        Environment environment;
        UiLanguage expected;
    } cases[] = {
        {{}, UiLanguage::Chinese},
        {{{"LANG", "C"}}, UiLanguage::Chinese},
        {{{"LANG", "POSIX"}}, UiLanguage::Chinese},
        {{{"LANG", "C.UTF-8"}}, UiLanguage::Chinese},
        {{{"LANG", "zh_CN.UTF-8"}}, UiLanguage::Chinese},
        {{{"LANG", "zh_TW.Big5"}}, UiLanguage::Chinese},
        {{{"LANG", "fr_FR.UTF-8"}}, UiLanguage::Chinese},
        {{{"LANG", "en_US.UTF-8"}}, UiLanguage::English},
        {{{"LANG", "en_GB"}}, UiLanguage::English},
        {{{"LANG", "en"}}, UiLanguage::English},
        {{{"LANG", "english"}}, UiLanguage::Chinese}, // no locale name
        // LC_ALL beats LC_MESSAGES, which beats LANG.
        {{{"LC_ALL", "zh_CN.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}, {"LANG", "en_US.UTF-8"}}, UiLanguage::Chinese},
        {{{"LC_MESSAGES", "en_US.UTF-8"}, {"LANG", "zh_CN.UTF-8"}}, UiLanguage::English},
        {{{"LC_ALL", ""}, {"LANG", "en_US.UTF-8"}}, UiLanguage::English},
        // LANGUAGE's first English or Chinese entry, unless the locale is C.
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr:en_GB:zh_CN"}}, UiLanguage::English},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "zh_CN:en"}}, UiLanguage::Chinese},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "fr:de"}}, UiLanguage::English},
        {{{"LANG", "C"}, {"LANGUAGE", "en"}}, UiLanguage::Chinese},
        {{{"LANGUAGE", "en"}}, UiLanguage::Chinese},
    };
    for (const auto& each : cases) {
        std::string trace;
        for (const auto& [name, value] : each.environment)
            trace += name + "=" + value.toStdString() + " ";
        SCOPED_TRACE(trace);
        EXPECT_EQ(languageOf(each.environment), each.expected);
    }
}

TEST(Language, TheLangOptionNamesEnglishOrChineseAndRefusesAnythingElse) {
    auto parse = [](QStringList arguments) {
        arguments.prepend(QStringLiteral("quillhorn"));
        return ParseLanguageOption(arguments);
    };
    EXPECT_EQ(parse({}).language, std::nullopt);
    EXPECT_TRUE(parse({}).error.isEmpty());
    EXPECT_EQ(parse({QStringLiteral("-platform"), QStringLiteral("offscreen")}).language, std::nullopt);
    EXPECT_EQ(parse({QStringLiteral("--lang"), QStringLiteral("en")}).language, UiLanguage::English);
    EXPECT_EQ(parse({QStringLiteral("--lang"), QStringLiteral("zh_CN")}).language, UiLanguage::Chinese);
    EXPECT_EQ(parse({QStringLiteral("--lang=en_GB.UTF-8")}).language, UiLanguage::English);
    EXPECT_EQ(parse({QStringLiteral("--lang=zh")}).language, UiLanguage::Chinese);
    // The last one given counts.
    EXPECT_EQ(parse({QStringLiteral("--lang=en"), QStringLiteral("--lang"), QStringLiteral("zh_CN")}).language,
              UiLanguage::Chinese);
    // The program's name is no option.
    EXPECT_EQ(ParseLanguageOption({QStringLiteral("--lang=en")}).language, std::nullopt);

    for (const QStringList& wrong :
         {QStringList{QStringLiteral("--lang")}, QStringList{QStringLiteral("--lang"), QStringLiteral("fr")},
          QStringList{QStringLiteral("--lang=")}, QStringList{QStringLiteral("--lang=C")}}) {
        SCOPED_TRACE(wrong.join(u' ').toStdString());
        const LanguageOption option = parse(wrong);
        EXPECT_EQ(option.language, std::nullopt);
        EXPECT_FALSE(option.error.isEmpty());
    }
}

struct Message {
    QString context;
    QString source;
    QString translation;
    bool unfinished;
};

// The messages of a Qt Linguist file; a carriage return is kept there as a
// <byte value="xd"/> element.
std::vector<Message> readTs(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    std::vector<Message> messages;
    QString context;
    QString* text = nullptr;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QStringView name = xml.name();
            if (name == QLatin1String("name")) {
                context.clear();
                text = &context;
            } else if (name == QLatin1String("message")) {
                messages.push_back({context, QString(), QString(), false});
            } else if (name == QLatin1String("source")) {
                text = &messages.back().source;
            } else if (name == QLatin1String("translation")) {
                text = &messages.back().translation;
                messages.back().unfinished = !xml.attributes().value(QLatin1String("type")).isEmpty();
            } else if (name == QLatin1String("byte") && text) {
                text->append(QChar(xml.attributes().value(QLatin1String("value")).mid(1).toInt(nullptr, 16)));
            } else {
                text = nullptr;
            }
        } else if (xml.isCharacters() && text) {
            text->append(xml.text());
        } else if (xml.isEndElement() && xml.name() != QLatin1String("byte")) {
            text = nullptr;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

bool hasChinese(const QString& text) {
    static const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(chinese);
}

// The %1, %2... of a text, in order of their number.
QStringList markers(const QString& text) {
    static const QRegularExpression marker(QStringLiteral("%\\d+"));
    QStringList found;
    for (auto match = marker.globalMatch(text); match.hasNext();)
        found.append(match.next().captured());
    found.sort();
    return found;
}

std::string describe(const Message& message) {
    return (message.context + QStringLiteral(": \"") + message.source + QStringLiteral("\"")).toStdString();
}

// The sources are read afresh, as the update script does before a translator
// fills in what is new; a text that the file lacks or holds unfinished is named.
TEST(Translations, EveryTextOfTheSourcesHasItsEnglish) {
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("quillhorn_en.ts"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QH_TEST_TS), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    QProcess update;
    update.setProcessChannelMode(QProcess::MergedChannels);
    update.start(QStringLiteral("bash"), {QStringLiteral(QH_TEST_UPDATE_SCRIPT), copy});
    ASSERT_TRUE(update.waitForFinished(120000));
    ASSERT_EQ(update.exitCode(), 0) << update.readAll().toStdString();

    const std::vector<Message> messages = readTs(copy);
    EXPECT_GT(messages.size(), 200u);
    std::string untranslated;
    for (const Message& message : messages) {
        if (message.unfinished || message.translation.isEmpty())
            untranslated += "\n  " + describe(message);
        else if (hasChinese(message.translation) || markers(message.translation) != markers(message.source))
            untranslated += "\n  " + describe(message) + " -> \"" + message.translation.toStdString() + "\"";
    }
    EXPECT_TRUE(untranslated.empty())
        << "texts without a proper English (run tools/update-translations.sh and translate them in "
           "res/translations/quillhorn_en.ts):"
        << untranslated;
}

// Every text of the program, as the default language and English give it.
TEST(Translations, ChineseShowsEveryTextAsWrittenAndEnglishTranslatesEveryOne) {
    const std::vector<Message> messages = readTs(QStringLiteral(QH_TEST_TS));
    ASSERT_GT(messages.size(), 200u);
    auto shown = [](const Message& message) {
        return QCoreApplication::translate(message.context.toUtf8().constData(), message.source.toUtf8().constData());
    };

    // What start-up installs for a C or Chinese locale.
    ASSERT_EQ(languageOf({{"LANG", "C"}}), UiLanguage::Chinese);
    QTranslator* chinese = InstallTranslations(*QCoreApplication::instance(), UiLanguage::Chinese);
    EXPECT_EQ(CurrentUiLanguage(), UiLanguage::Chinese);
    for (const Message& message : messages)
        EXPECT_EQ(shown(message), message.source) << describe(message);
    delete chinese;

    QTranslator* english = InstallTranslations(*QCoreApplication::instance(), UiLanguage::English);
    ASSERT_NE(english, nullptr);
    EXPECT_EQ(CurrentUiLanguage(), UiLanguage::English);
    for (const Message& message : messages) {
        EXPECT_EQ(shown(message), message.translation) << describe(message);
        EXPECT_FALSE(hasChinese(shown(message))) << describe(message);
    }
    delete english;
    EXPECT_EQ(CurrentUiLanguage(), UiLanguage::Chinese);
}

} // namespace
} // namespace qh
