// Menu entries that the pages library adds to the main window's menus (the window's dialogs of
// page-side features), so that the shell knows none of them.
#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace rivelo {

enum class MenuPlace { File };

struct MenuEntry {
  MenuPlace place = MenuPlace::File;
  QString text;
  std::function<void(QWidget* parent)> action;
};

// Called while a window's pages are installed: that window puts the entry into its menu.
void AddMenuEntry(MenuEntry entry);
// The entries added since the last call, for the window being built.
std::vector<MenuEntry> TakeMenuEntries();

}  // namespace rivelo
