// The navigation table: which folders and items the bar shows, and which pane
// each item opens.
#ifndef QUILLHORN_NAVIGATION_TABLE_H
#define QUILLHORN_NAVIGATION_TABLE_H

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace qh {

class PaneServices;
class ToolPane;

using PaneFactory = std::function<std::unique_ptr<ToolPane>(PaneServices&)>;

// One row of the table, in bar order.
struct NavEntry {
    int folder;
    QString folderText; // only on the folder's first item
    int position;
    QString itemText;
    PaneFactory makePane;
    int dialogTemplate;
    int icon; // icon resource id: ":/icons/<id>-16.png" and ":/icons/<id>-32.png"
};

// The thirteen tools and pages of the program in five folders.
std::vector<NavEntry> StandardNavigationTable();

} // namespace qh

#endif
