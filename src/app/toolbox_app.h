// Start-up: acquire the RSA component, run the main window, release the
// component. Without the component the program shows one message and ends
// before any window is shown.
#ifndef QUILLHORN_TOOLBOX_APP_H
#define QUILLHORN_TOOLBOX_APP_H

#include <functional>
#include <string>

namespace qh {

class CToolboxDlg;
class PaneServices;

class CToolboxApp {
public:
    explicit CToolboxApp(PaneServices& services);

    // The component library to load; by default the one beside the executable,
    // else the one in the install library folder.
    void setComponentPath(std::string path) { componentPath_ = std::move(path); }
    // Called with the main window once it is initialised, before it runs.
    void setWindowHook(std::function<void(CToolboxDlg&)> hook) { windowHook_ = std::move(hook); }

    // Runs the program; returns its exit status: 0 after a normal run, 1 when
    // the component or the main window could not be set up.
    int InitInstance();

private:
    PaneServices& services_;
    std::string componentPath_;
    std::function<void(CToolboxDlg&)> windowHook_;
};

} // namespace qh

#endif
