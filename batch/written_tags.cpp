#include "batch/written_tags.h"

namespace rivelo {

void WrittenTags::Clear() {
  numbers_.clear();
  noticed_.clear();
}

void WrittenTags::Add(const Identity& id, int number) {
  numbers_[id] = number;
  noticed_.clear();
}

int WrittenTags::NumberOf(const Identity& id) const {
  const auto it = numbers_.find(id);
  return it == numbers_.end() ? 0 : it->second;
}

bool WrittenTags::FirstNotice(const Identity& id) {
  if (id == noticed_) return false;
  noticed_ = id;
  return true;
}

}  // namespace rivelo
