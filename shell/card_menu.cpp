#include "shell/card_menu.h"

namespace rivelo {
namespace {

std::vector<CardMenuEntry>& Entries() {
  static std::vector<CardMenuEntry> entries;
  return entries;
}

}  // namespace

void AddCardMenuEntry(const TextPair& text, std::function<void(QWidget* parent)> open) {
  for (CardMenuEntry& e : Entries()) {
    if (e.text == &text) {
      e.open = std::move(open);
      return;
    }
  }
  Entries().push_back({&text, std::move(open)});
}

const std::vector<CardMenuEntry>& CardMenuEntries() { return Entries(); }

}  // namespace rivelo
