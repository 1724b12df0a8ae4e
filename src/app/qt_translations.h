// The language of the user interface and the translations that give it.
//
// The program's texts are written in Simplified Chinese and shown as they are
// written; English comes from the translation compiled into the program
// (":/translations/quillhorn_en.qm"). Qt's own texts (the buttons of message
// boxes, the file dialogs, the overwrite question) follow: Qt's Simplified
// Chinese translation with the Chinese interface, Qt's own English otherwise.
//
// The language is chosen by `--lang en|zh_CN` on the command line, else by the
// locale: English when the locale's language is English, Chinese for a Chinese
// locale and for every other one (C and POSIX too).
#ifndef QUILLHORN_QT_TRANSLATIONS_H
#define QUILLHORN_QT_TRANSLATIONS_H

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>

class QCoreApplication;
class QTranslator;

namespace qh {

enum class UiLanguage { Chinese, English };

// The language a locale or language name stands for: "en", "en_GB.UTF-8",
// "en-US" give English; "zh", "zh_CN", "zh_TW.UTF-8" Chinese; anything else
// (C, POSIX, "fr_FR", "") nothing.
std::optional<UiLanguage> LanguageOfName(QStringView name);

// The language the environment asks for, read as gettext reads it: LC_ALL,
// else LC_MESSAGES, else LANG names the locale. Unless that is unset, C or
// POSIX, the list in LANGUAGE (names separated by ':') comes first: its first
// entry naming English or Chinese decides. A locale of any other language
// gives Chinese. `variable` returns an environment variable's value.
UiLanguage LanguageOfEnvironment(const std::function<QString(const char*)>& variable);
UiLanguage LanguageOfEnvironment();

// `--lang NAME` or `--lang=NAME` among the command-line arguments (the first
// is the program). `language` is empty when the option is not given; `error`
// says what is wrong with a missing or unknown NAME (the language is then
// empty too). NAME is read as LanguageOfName reads it.
struct LanguageOption {
    std::optional<UiLanguage> language;
    QString error;
};
LanguageOption ParseLanguageOption(const QStringList& arguments);

// Installs what `language` needs into `app` (which owns it): for English the
// program's English translation, for Chinese Qt's Simplified Chinese
// translation. Returns the translator, or null when there was none to install
// (no Qt translation on the system: Qt then speaks English). Deleting it
// removes it again.
QTranslator* InstallTranslations(QCoreApplication& app, UiLanguage language);

// Installs Qt's Simplified Chinese translation into `app` (which owns it).
// Returns it, or null when the system has none.
QTranslator* InstallQtTranslations(QCoreApplication& app);

// The language the installed translations give: English while the program's
// English translation is installed, else Chinese.
UiLanguage CurrentUiLanguage();

} // namespace qh

#endif
