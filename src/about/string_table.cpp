#include "string_table.h"

#include "about_addresses.h"

#include <QCoreApplication>

namespace qh {

QString LoadResString(int id) {
    switch (id) {
    case kInstallNotesString:
        return QCoreApplication::translate(
            "qh::StringTable", "    运行从压缩包解压后的 Setup.bat 文件即完成安装,卸载时先运行 Uninstall.bat "
                               "再删除程序目录即可.  \r\n");
    case kHelpNoticeString:
    case kUseNoticeString:
        return QCoreApplication::translate("qh::StringTable", "    本软件改用在线帮助系统,请访问 %1 获取帮助.")
            .arg(about::kHelpPage);
    default:
        return QString();
    }
}

} // namespace qh
