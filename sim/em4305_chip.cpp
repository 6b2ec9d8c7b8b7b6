#include "sim/em4305_chip.h"

#include <vector>

#include "sim/tag_formats.h"

namespace rivelo::sim {

Em4305Chip::Em4305Chip(std::uint32_t uid, std::uint32_t password) {
  words_[0] = 0x00000609;  // chip type and customer code
  words_[1] = uid;
  words_[2] = password;
  words_[4] = Em4305ConfigFdxb;
  words_[14] = InForce | 0x3;  // words 0 and 1 come protected from the factory
}

std::uint32_t Em4305Chip::Protection() const {
  // Word 14 counts when it is marked, else word 15; an unmarked pair protects nothing.
  if (words_[14] & InForce) return words_[14] & 0x7FFF;
  if (words_[15] & InForce) return words_[15] & 0x7FFF;
  return 0;
}

std::optional<std::uint32_t> Em4305Chip::ReadWord(int word) const {
  if (disabled_ || word < 0 || word >= WordCount || word == 2) return std::nullopt;
  if ((Config() & ReadLogin) && !loggedIn_ && word > 1) return std::nullopt;
  return words_[static_cast<std::size_t>(word)];
}

bool Em4305Chip::MayWrite(int word) const {
  if (disabled_ || word < 0 || word > 13 || word == 1) return false;
  if ((word == 2 || (Config() & WriteLogin)) && !loggedIn_) return false;
  return (Protection() >> word & 1) == 0;
}

bool Em4305Chip::MayProtect() const {
  if (disabled_ || (Protection() & ProtectsItself)) return false;
  return !(Config() & WriteLogin) || loggedIn_;
}

bool Em4305Chip::WriteWord(int word, std::uint32_t value) {
  if (!MayWrite(word)) return false;
  words_[static_cast<std::size_t>(word)] = value;
  return true;
}

bool Em4305Chip::Login(std::uint32_t password) {
  if (disabled_) return false;
  loggedIn_ = password == words_[2];
  return loggedIn_;
}

void Em4305Chip::AddProtection(std::uint32_t mask) {
  // The new set goes into the other protection word, which becomes the one in force.
  const std::uint32_t next = Protection() | (mask & 0x7FFF) | InForce;
  const bool fourteen = (words_[14] & InForce) != 0;
  words_[fourteen ? 15 : 14] = next;
  words_[fourteen ? 14 : 15] = 0;
}

bool Em4305Chip::Protect(std::uint32_t mask) {
  if (!MayProtect()) return false;
  AddProtection(mask);
  return true;
}

bool Em4305Chip::Disable() {
  if (disabled_ || !(Config() & DisableAllowed)) return false;
  if ((Config() & WriteLogin) && !loggedIn_) return false;
  disabled_ = true;
  return true;
}

bool Em4305Chip::WriteLayout(std::uint32_t config, std::span<const std::uint32_t> data, bool lock) {
  if (data.size() > 9) return false;
  const int last = 4 + static_cast<int>(data.size());
  for (int w = 4; w <= last; ++w)
    if (!MayWrite(w)) return false;
  if (lock && !MayProtect()) return false;
  words_[4] = config;
  for (std::size_t i = 0; i < data.size(); ++i) words_[5 + i] = data[i];
  if (lock) {
    std::uint32_t mask = 0;
    for (int w = 4; w <= last; ++w) mask |= 1u << w;
    AddProtection(mask);
  }
  return true;
}

std::optional<Emission> Em4305Chip::Emit() const {
  if (disabled_ || (Config() & ReaderTalksFirst)) return std::nullopt;
  Emission e;
  e.rate = 2 * static_cast<int>(Config() & 0x3F) + 2;
  switch (Config() >> 6 & 0xF) {
    case 1: e.modulation = Modulation::Manchester; break;
    case 2: e.modulation = Modulation::Biphase; break;
    default: e.modulation = Modulation::Other; break;
  }
  // The chip sends words 5..LWR, each least significant bit first.
  const int lastWord = static_cast<int>(Config() >> 14 & 0xF);
  for (int w = 5; w <= lastWord; ++w) e.words.push_back(Reverse32(words_[static_cast<std::size_t>(w)]));
  if (e.words.empty()) return std::nullopt;
  return e;
}

}  // namespace rivelo::sim
