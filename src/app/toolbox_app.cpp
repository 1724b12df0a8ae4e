#include "toolbox_app.h"

#include "pane_job.h"
#include "pane_services.h"
#include "rsa_loader.h"
#include "toolbox_dlg.h"

#include <QCoreApplication>

namespace qh {

CToolboxApp::CToolboxApp(PaneServices& services) : services_(services), componentPath_(DefaultRsaComponentPath()) {}

int CToolboxApp::InitInstance() {
    // Acquire the RSA component first: without it nothing else runs.
    SetRsaComponent(nullptr);
    RsaComponentLoader loader;
    if (loader.load(componentPath_) != RsaLoadResult::Loaded) {
        services_.showMessage(nullptr, QCoreApplication::translate("qh::CToolboxApp", "初始化 RSA 组件失败!"),
                              caption::Application, MessageKind::Plain);
        return 1;
    }
    SetRsaComponent(loader.component());

    int status = 0;
    {
        CToolboxDlg dialog(services_);
        if (!dialog.OnInitDialog()) {
            status = 1;
        } else {
            if (windowHook_)
                windowHook_(dialog);
            dialog.exec();
        }
    }

    // No worker may still be inside the component when it goes: jobs
    // cancelled with their panes finish first. The component is then cleared
    // before it is released; the loader closes the library.
    WaitForPaneJobs();
    SetRsaComponent(nullptr);
    loader.unload();
    return status;
}

} // namespace qh
