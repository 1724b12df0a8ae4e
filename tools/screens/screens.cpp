// quillhorn-screens: starts the toolbox as the program does, then opens every
// item of the navigation bar in turn by clicking it and saves a picture of the
// main window with that pane open. Used by tools/screens.sh for the README.
//
// usage: quillhorn-screens [--scale FACTOR] [--dark] [--lang en|zh_CN] OUTPUT_FOLDER
//   --scale FACTOR  every length times FACTOR, as on a screen of that density
//                   (QT_SCALE_FACTOR); the pictures have FACTOR times the pixels
//   --dark          the Fusion style with a dark palette, as a dark desktop theme
//   --lang          the interface's language; Chinese unless given, whatever
//                   the locale, so that the pictures of the README stay Chinese
#include "desktop_services.h"
#include "out_bar_ctrl.h"
#include "qt_translations.h"
#include "tool_pane.h"
#include "toolbox_app.h"
#include "toolbox_dlg.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPalette>
#include <QStyle>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A dark desktop theme: light text on dark grey, the palette dark themes of
// the Fusion style commonly use.
QPalette darkPalette() {
    const QColor window(53, 53, 53), base(35, 35, 35), text(235, 235, 235), greyed(127, 127, 127);
    const QColor highlight(42, 130, 218);
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, greyed);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::red);
    palette.setColor(QPalette::Link, highlight);
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, Qt::black);
    palette.setColor(QPalette::Light, window.lighter(150));
    palette.setColor(QPalette::Midlight, window.lighter(125));
    palette.setColor(QPalette::Mid, window.darker(125));
    palette.setColor(QPalette::Dark, window.darker(150));
    palette.setColor(QPalette::Shadow, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, greyed);
    return palette;
}

struct Options {
    const char* scale = nullptr;
    bool dark = false;
    qh::UiLanguage language = qh::UiLanguage::Chinese;
    const char* folder = nullptr;
};

// False on anything but the options above and one folder.
bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc && std::atof(argv[i + 1]) > 0)
            options.scale = argv[++i];
        else if (std::strcmp(argv[i], "--dark") == 0)
            options.dark = true;
        else if (std::strcmp(argv[i], "--lang") == 0 && i + 1 < argc &&
                 qh::LanguageOfName(QString::fromLocal8Bit(argv[i + 1])))
            options.language = *qh::LanguageOfName(QString::fromLocal8Bit(argv[++i]));
        else if (argv[i][0] != '-' && !options.folder)
            options.folder = argv[i];
        else
            return false;
    }
    return options.folder != nullptr;
}

// A press and a release at `point`, as the mouse would give them.
void click(QWidget* widget, QPoint point) {
    const QPointF local(point);
    const QPointF global(widget->mapToGlobal(point));
    QMouseEvent press(QEvent::MouseButtonPress, local, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
    QApplication::processEvents();
}

bool save(QWidget* window, const QString& path) {
    QApplication::processEvents();
    if (!window->grab().save(path)) {
        std::fprintf(stderr, "quillhorn-screens: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// Opens every item and saves one picture per pane; false when a picture could
// not be written or an item opened no pane.
bool captureAll(qh::CToolboxDlg& dialog, const QDir& folder) {
    qh::CXTOutBarCtrl* bar = dialog.bar();
    if (!save(&dialog, folder.filePath(QStringLiteral("00-start.png"))))
        return false;
    int number = 1;
    for (int f = 0; f < bar->folderCount(); ++f) {
        click(bar, bar->folderRect(f).center());
        for (int p = 0; p < bar->itemCount(); ++p, ++number) {
            click(bar, bar->iconRect(p).center());
            qh::ToolPane* pane = dialog.currentPane();
            if (!pane) {
                std::fprintf(stderr, "quillhorn-screens: item %s opened no pane\n", qPrintable(bar->itemText(p)));
                return false;
            }
            const QString name = QStringLiteral("%1-%2.png")
                                     .arg(number, 2, 10, QLatin1Char('0'))
                                     .arg(QString::fromLatin1(pane->className()));
            if (!save(&dialog, folder.filePath(name)))
                return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: quillhorn-screens [--scale FACTOR] [--dark] [--lang en|zh_CN] OUTPUT_FOLDER\n");
        return 2;
    }
    // Read when the application starts, so it is set before.
    if (options.scale)
        qputenv("QT_SCALE_FACTOR", options.scale);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillhorn"));
    qh::InstallTranslations(app, options.language);
    if (options.dark) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(darkPalette());
    }
    const QDir folder(QString::fromLocal8Bit(options.folder));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "quillhorn-screens: cannot create %s\n", options.folder);
        return 1;
    }
    qh::DesktopServices services;
    qh::CToolboxApp toolbox(services);
    bool ok = false;
    toolbox.setWindowHook([&](qh::CToolboxDlg& dialog) {
        dialog.setFadeMilliseconds(0);
        QTimer::singleShot(200, &dialog, [&] {
            ok = captureAll(dialog, folder);
            dialog.close();
        });
    });
    const int status = toolbox.InitInstance();
    return status != 0 ? status : ok ? 0 : 1;
}
