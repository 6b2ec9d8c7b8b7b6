// Entries the pages add to the Card and File menus: the shell shows them without knowing what
// they open.
// The page installer runs before the menu is built, so what it adds is there from the start.
#pragma once

#include <functional>
#include <vector>

#include "resources/text_pair.h"

class QWidget;

namespace rivelo {

struct CardMenuEntry {
  const TextPair* text = nullptr;
  std::function<void(QWidget* parent)> open;
};

// Adds an entry, or replaces the one with the same text (a page installer run again).
void AddCardMenuEntry(const TextPair& text, std::function<void(QWidget* parent)> open);
const std::vector<CardMenuEntry>& CardMenuEntries();
// The same for the File menu, after Run log....
void AddFileMenuEntry(const TextPair& text, std::function<void(QWidget* parent)> open);
const std::vector<CardMenuEntry>& FileMenuEntries();

}  // namespace rivelo
