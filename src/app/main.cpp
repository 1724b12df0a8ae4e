// quillhorn: the desktop toolbox.
#include "desktop_services.h"
#include "toolbox_app.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt aborts with a long story when it finds no display; say it plainly instead.
bool displayAvailable() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fprintf(stderr, "quillhorn: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                             "Run it on a desktop, or under a virtual one: xvfb-run -a quillhorn\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillhorn"));
    QApplication::setApplicationVersion(QStringLiteral("2.1"));
    qh::DesktopServices services;
    qh::CToolboxApp toolbox(services);
    return toolbox.InitInstance();
}
