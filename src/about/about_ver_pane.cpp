#include "about_ver_pane.h"

#include "about_addresses.h"
#include "about_label.h"

#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>

namespace qh {
namespace {

struct Release {
    const char* titleName;
    const char* textName;
    QString title;
    QString text;
};

} // namespace

CAboutVer::CAboutVer(PaneServices& services) : ToolPane(services, kPaneColour, kTextColour) {}

void CAboutVer::buildWindow(QWidget* window) {
    const Release releases[] = {
        {"version1Title", "version1Text", QStringLiteral("V1.0 (2004-05-07)"),
         tr("程序所发布的第一个版本.测试版.完成了 ASCII, MD5, DES, BASE64 等编码算法.")},
        {"version2Title", "version2Text", QStringLiteral("V2.0 (2005-05-17)"), tr("增加 RSA 算法及其秘匙生成工具.")},
        {"version3Title", "version3Text", QStringLiteral("V2.1 (2005-12-01)"), tr("增加 SHA 和 CRC 算法工具.")},
    };

    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(14, 12, 14, 8);
    layout->setSpacing(4);
    layout->addWidget(MakeAboutLabel(tr("Quillhorn发布的版本:"), "versionHeading", window));
    for (const Release& release : releases) {
        layout->addSpacing(10);
        layout->addWidget(MakeAboutLabel(release.title, release.titleName, window));
        QLabel* text = MakeAboutLabel(release.text, release.textName, window);
        text->setWordWrap(true);
        text->setIndent(16);
        layout->addWidget(text);
    }
    layout->addStretch(1);

    // Greyed, as a disabled control. The window's palette, set after this, gives
    // every colour group white text; the label's own disabled text colour is kept
    // through that.
    QLabel* site = MakeAboutLabel(about::kSiteAddress, "siteAddress", window);
    site->setEnabled(false);
    QPalette greyed;
    greyed.setColor(QPalette::Disabled, QPalette::WindowText, kGreyedColour);
    site->setPalette(greyed);
    layout->addWidget(site, 0, Qt::AlignRight);
}

} // namespace qh
