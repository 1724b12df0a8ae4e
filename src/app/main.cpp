// quillhorn: the desktop toolbox.
#include "code_page_choice.h"
#include "desktop_services.h"
#include "qt_translations.h"
#include "text_codec.h"
#include "toolbox_app.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

QByteArray valueOf(const char* name) {
    const char* value = std::getenv(name);
    return value ? QByteArray(value) : QByteArray();
}

// Qt ends the program with a long story (and status 134) when it finds no
// display, or cannot open the one it is told to use. It is said plainly instead.
// A platform named on the command line (-platform offscreen) counts as one.
bool displayAvailable(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0)
            return true;
    return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

void sayNoDisplay() {
    std::fprintf(stderr,
                 "quillhorn: cannot open a display (DISPLAY='%s', WAYLAND_DISPLAY='%s').\n"
                 "Run it on a desktop, or under a virtual one: xvfb-run -a quillhorn\n",
                 valueOf("DISPLAY").constData(), valueOf("WAYLAND_DISPLAY").constData());
}

// While the application object is made, Qt's own messages are held back: when
// the display cannot be opened they end in a fatal one, which becomes the plain
// word above and status 2. Otherwise they are passed on afterwards.
QStringList heldMessages;

void startUpHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        sayNoDisplay();
        std::_Exit(2);
    }
    heldMessages.append(message);
}

// The command line as Qt will see it, for the options read before Qt starts.
QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char** argv) {
    // A wrong --lang is said before anything starts; without the option the
    // locale chooses.
    const qh::LanguageOption language = qh::ParseLanguageOption(argumentsOf(argc, argv));
    if (!language.error.isEmpty()) {
        std::fprintf(stderr, "quillhorn: %s\n", qPrintable(language.error));
        return 2;
    }
    if (!displayAvailable(argc, argv)) {
        sayNoDisplay();
        return 2;
    }
    const QtMessageHandler qtHandler = qInstallMessageHandler(startUpHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    for (const QString& message : std::as_const(heldMessages))
        std::fprintf(stderr, "%s\n", qPrintable(message));
    heldMessages.clear();

    QApplication::setApplicationName(QStringLiteral("quillhorn"));
    QApplication::setApplicationVersion(QStringLiteral("2.1"));
    // Desktops match the window to its menu entry (quillhorn.desktop) by this.
    QGuiApplication::setDesktopFileName(QStringLiteral("quillhorn"));
    qh::InstallTranslations(app, language.language.value_or(qh::LanguageOfEnvironment()));
    qh::setCurrentCodePage(qh::LoadCodePageChoice());
    qh::DesktopServices services;
    qh::CToolboxApp toolbox(services);
    return toolbox.InitInstance();
}
