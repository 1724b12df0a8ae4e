#include "qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace qh {
namespace {

// The program's English translation while it is installed.
QPointer<QTranslator> englishTranslator;

const QString kEnglishTranslation = QStringLiteral(":/translations/quillhorn_en.qm");

} // namespace

std::optional<UiLanguage> LanguageOfName(QStringView name) {
    // The language is what comes before the territory, the code set and the
    // modifier: "en" in "en_US.UTF-8@euro".
    qsizetype end = 0;
    while (end < name.size() && name[end] != u'_' && name[end] != u'-' && name[end] != u'.' && name[end] != u'@')
        ++end;
    const QString language = name.left(end).toString().toLower();
    if (language == QLatin1String("en"))
        return UiLanguage::English;
    if (language == QLatin1String("zh"))
        return UiLanguage::Chinese;
    return std::nullopt;
}

UiLanguage LanguageOfEnvironment(const std::function<QString(const char*)>& variable) {
    QString locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = variable(name);
        if (!locale.isEmpty())
            break;
    }
    // As gettext does, LANGUAGE counts only where a locale is set: in the C
    // locale a program speaks its own language.
    if (!locale.isEmpty() && locale != QLatin1String("C") && locale != QLatin1String("POSIX")) {
        for (const QString& entry : variable("LANGUAGE").split(u':', Qt::SkipEmptyParts))
            if (const std::optional<UiLanguage> language = LanguageOfName(entry))
                return *language;
    }
    return LanguageOfName(locale).value_or(UiLanguage::Chinese);
}

UiLanguage LanguageOfEnvironment() {
    return LanguageOfEnvironment([](const char* name) { return qEnvironmentVariable(name); });
}

LanguageOption ParseLanguageOption(const QStringList& arguments) {
    LanguageOption option;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString value;
        if (arguments[i] == QLatin1String("--lang")) {
            if (i + 1 == arguments.size())
                return {std::nullopt, QStringLiteral("--lang needs a language: en or zh_CN")};
            value = arguments[++i];
        } else if (arguments[i].startsWith(QLatin1String("--lang="))) {
            value = arguments[i].mid(7);
        } else {
            continue;
        }
        option.language = LanguageOfName(value);
        if (!option.language)
            return {std::nullopt, QStringLiteral("unknown language '%1' for --lang: en or zh_CN").arg(value)};
    }
    return option;
}

QTranslator* InstallTranslations(QCoreApplication& app, UiLanguage language) {
    if (language == UiLanguage::Chinese)
        return InstallQtTranslations(app);
    auto* translator = new QTranslator(&app);
    if (!translator->load(kEnglishTranslation) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    englishTranslator = translator;
    return translator;
}

QTranslator* InstallQtTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                          folder) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

UiLanguage CurrentUiLanguage() {
    return englishTranslator ? UiLanguage::English : UiLanguage::Chinese;
}

} // namespace qh
