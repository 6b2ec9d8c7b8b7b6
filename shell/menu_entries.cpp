#include "shell/menu_entries.h"

namespace rivelo {
namespace {

std::vector<MenuEntry>& Pending() {
  static std::vector<MenuEntry> entries;
  return entries;
}

}  // namespace

void AddMenuEntry(MenuEntry entry) { Pending().push_back(std::move(entry)); }

std::vector<MenuEntry> TakeMenuEntries() {
  std::vector<MenuEntry> taken;
  taken.swap(Pending());
  return taken;
}

}  // namespace rivelo
