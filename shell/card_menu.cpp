#include "shell/card_menu.h"

namespace rivelo {
namespace {

std::vector<CardMenuEntry>& Entries() {
  static std::vector<CardMenuEntry> entries;
  return entries;
}

std::vector<CardMenuEntry>& FileEntries() {
  static std::vector<CardMenuEntry> entries;
  return entries;
}

void Add(std::vector<CardMenuEntry>& entries, const TextPair& text, std::function<void(QWidget* parent)> open) {
  for (CardMenuEntry& e : entries) {
    if (e.text == &text) {
      e.open = std::move(open);
      return;
    }
  }
  entries.push_back({&text, std::move(open)});
}

}  // namespace

void AddCardMenuEntry(const TextPair& text, std::function<void(QWidget* parent)> open) {
  Add(Entries(), text, std::move(open));
}

const std::vector<CardMenuEntry>& CardMenuEntries() { return Entries(); }

void AddFileMenuEntry(const TextPair& text, std::function<void(QWidget* parent)> open) {
  Add(FileEntries(), text, std::move(open));
}

const std::vector<CardMenuEntry>& FileMenuEntries() { return FileEntries(); }

}  // namespace rivelo
