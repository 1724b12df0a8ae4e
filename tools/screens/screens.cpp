// quillhorn-screens: starts the toolbox as the program does, then opens every
// item of the navigation bar in turn by clicking it and saves a picture of the
// main window with that pane open. Used by tools/screens.sh for the README.
//
// usage: quillhorn-screens OUTPUT_FOLDER
#include "desktop_services.h"
#include "out_bar_ctrl.h"
#include "tool_pane.h"
#include "toolbox_app.h"
#include "toolbox_dlg.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTimer>
#include <cstdio>

namespace {

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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillhorn"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillhorn-screens OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "quillhorn-screens: cannot create %s\n", argv[1]);
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
