#include "about_me_pane.h"

#include "about_addresses.h"
#include "about_label.h"
#include "link_cursor.h"
#include "pane_font.h"

#include <QGridLayout>
#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>

namespace qh {
namespace {

// An address shown as a link: magenta, exactly as large as its text (the
// cursor changes over the text only), the link cursor over it, and no
// reaction to clicks or selection.
QLabel* makeLink(const QString& address, const char* name, QWidget* parent) {
    QLabel* link = MakeAboutLabel(address, name, parent);
    link->setTextInteractionFlags(Qt::NoTextInteraction);
    link->setOpenExternalLinks(false);
    link->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    link->setCursor(LinkCursor());
    // Only the text colour is the link's own; the rest follows the pane.
    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::WindowText, CAboutMe::kLinkColour);
    link->setPalette(palette);
    return link;
}

} // namespace

CAboutMe::CAboutMe(PaneServices& services) : ToolPane(services, kPaneColour, kTextColour) {}

void CAboutMe::buildWindow(QWidget* window) {
    window->setFont(PaneFont(QString::fromUtf8(kFontFamily), kFontPointSize, FontKind::Serif));

    QLabel* feedback = MakeAboutLabel(tr("    如果你在使用此软件过程中发现了BUG ,或是有什么建议和意见，"
                                         "都欢迎你将信息反馈给我。我的联系方式是："),
                                      "feedbackText", window);
    feedback->setWordWrap(true);

    auto* contacts = new QGridLayout;
    contacts->setHorizontalSpacing(6);
    contacts->setVerticalSpacing(8);
    contacts->addWidget(MakeAboutLabel(tr("主页:"), "homeTitle", window), 0, 0);
    contacts->addWidget(makeLink(about::kHomePage, "homeLink", window), 0, 1, Qt::AlignLeft | Qt::AlignVCenter);
    contacts->addWidget(MakeAboutLabel(tr("邮箱:"), "mailTitle", window), 1, 0);
    contacts->addWidget(makeLink(about::kMailAddress, "mailLink", window), 1, 1, Qt::AlignLeft | Qt::AlignVCenter);
    contacts->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(window);
    // Narrow side margins: the personal page's address at 12 points takes
    // nearly the pane's whole width.
    layout->setContentsMargins(6, 12, 6, 10);
    layout->setSpacing(8);
    layout->addWidget(MakeAboutLabel(tr("信息反馈"), "feedbackHeading", window));
    layout->addWidget(feedback);
    layout->addSpacing(6);
    layout->addLayout(contacts);
    layout->addSpacing(6);
    // The personal page's address is too long to follow its title on one line.
    layout->addWidget(MakeAboutLabel(tr("更多有关我个人的信息请访问:"), "aboutTitle", window));
    layout->addWidget(makeLink(about::kPersonalPage, "aboutLink", window), 0, Qt::AlignLeft);
    layout->addStretch(1);
}

} // namespace qh
