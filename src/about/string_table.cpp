#include "string_table.h"

#include "about_addresses.h"

namespace qh {

QString LoadResString(int id) {
    switch (id) {
    case kInstallNotesString:
        return QStringLiteral("    运行从压缩包解压后的 Setup.bat 文件即完成安装,卸载时先运行 Uninstall.bat "
                              "再删除程序目录即可.  \r\n");
    case kHelpNoticeString:
    case kUseNoticeString:
        return QStringLiteral("    本软件改用在线帮助系统,请访问 ") + about::kHelpPage + QStringLiteral(" 获取帮助.");
    default:
        return QString();
    }
}

} // namespace qh
