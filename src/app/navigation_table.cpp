#include "navigation_table.h"

#include "about_panes.h"
#include "ascii_decode_pane.h"
#include "ascii_pane.h"
#include "base64_pane.h"
#include "crc_pane.h"
#include "des_pane.h"
#include "md5_pane.h"
#include "rsa_pane.h"
#include "rsa_tool_pane.h"
#include "sha_pane.h"
#include "verify_pane.h"

#include <QCoreApplication>

namespace qh {
namespace {

// The context of the bar's folder and item texts in the translations.
class Navigation {
    Q_DECLARE_TR_FUNCTIONS(qh::Navigation)
};

template <typename Pane> PaneFactory factory() {
    return [](PaneServices& services) -> std::unique_ptr<ToolPane> { return std::make_unique<Pane>(services); };
}

} // namespace

std::vector<NavEntry> StandardNavigationTable() {
    return {
        {0, Navigation::tr("字符编码转换"), 0, Navigation::tr("字符 --> ASCII"), factory<CASCII>(), 101, 140},
        {0, QString(), 1, Navigation::tr("ASCII --> 字符"), factory<CASCIIU>(), 134, 138},
        {0, QString(), 2, QStringLiteral("BASE 64"), factory<CBASE>(), 142, 153},
        {1, Navigation::tr("散列加密算法"), 0, Navigation::tr("MD5 散列"), factory<CMD5>(), 140, 150},
        {1, QString(), 1, Navigation::tr("SHA 散列"), factory<CSHADlg>(), 145, 160},
        {1, QString(), 2, Navigation::tr("CRC 校验"), factory<CCRCDlg>(), 146, 161},
        {1, QString(), 3, Navigation::tr("校验文件"), factory<CVerifyDlg>(), 147, 162},
        {2, Navigation::tr("分组加密算法"), 0, Navigation::tr("DES 算法"), factory<CDES>(), 141, 151},
        {3, Navigation::tr("公开密匙算法"), 0, Navigation::tr("RSA 算法"), factory<CRSA>(), 143, 154},
        {3, QString(), 1, Navigation::tr(" RSA 工具"), factory<CRSATool>(), 144, 156},
        {4, Navigation::tr("关于这个软件"), 0, Navigation::tr("版本"), factory<CAboutVer>(), 137, 146},
        {4, QString(), 1, Navigation::tr("帮助"), factory<CAboutHelp>(), 138, 148},
        {4, QString(), 2, Navigation::tr("作者"), factory<CAboutMe>(), 139, 147},
    };
}

} // namespace qh
