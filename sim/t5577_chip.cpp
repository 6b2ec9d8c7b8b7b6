#include "sim/t5577_chip.h"

#include "sim/tag_formats.h"

namespace rivelo::sim {
namespace {

constexpr int PasswordSlot = 7;

}  // namespace

T5577Chip::T5577Chip(std::uint32_t serial) {
  blocks_[0] = T5577ConfigFactory;
  // Page 1: traceability data (ACL E0, manufacturer 15, then a serial), locked at the
  // factory; block 3 the analog front-end options.
  blocks_[9] = 0xE0150000u | (serial >> 16 & 0xFFFFu);
  blocks_[10] = serial << 16 | 0x0000A5A5u;
  locked_[9] = locked_[10] = true;
}

std::optional<int> T5577Chip::Slot(int page, int block) {
  if (page == 0 && block >= 0 && block <= 7) return block;
  if (page == 1 && block == 0) return 0;
  if (page == 1 && block >= 1 && block <= 3) return 8 + block;
  return std::nullopt;
}

int T5577Chip::DataRate() const {
  static constexpr int rates[] = {8, 16, 32, 40, 50, 64, 100, 128};
  return rates[Config() >> 18 & 7];
}

Modulation T5577Chip::GetModulation() const {
  switch (Config() >> 12 & 0x1F) {
    case 0x08: return Modulation::Manchester;
    case 0x10:
    case 0x18: return Modulation::Biphase;
    case 0x07: return Modulation::Fsk2a;
    default: return Modulation::Other;
  }
}

bool T5577Chip::PasswordOk(std::optional<std::uint32_t> password) const {
  if (!PasswordMode()) return true;  // without PWD the chip ignores the password bits
  return password && *password == blocks_[PasswordSlot];
}

std::optional<std::uint32_t> T5577Chip::WriteBlock(int page, int block, std::uint32_t data, bool lock,
                                                   std::optional<std::uint32_t> password) {
  const auto slot = Slot(page, block);
  if (!slot || !PasswordOk(password)) return std::nullopt;
  const auto s = static_cast<std::size_t>(*slot);
  if (locked_[s]) return std::nullopt;  // a locked block is not programmed
  blocks_[s] = data;
  locked_[s] = lock;
  return blocks_[s];
}

std::optional<std::uint32_t> T5577Chip::ReadBlock(int page, int block,
                                                  std::optional<std::uint32_t> password) const {
  const auto slot = Slot(page, block);
  if (!slot) return std::nullopt;
  if (password) {
    if (!PasswordOk(password)) return std::nullopt;
  } else if (PasswordMode() || (AnswerOnRequest() && !awake_)) {
    return std::nullopt;
  }
  return blocks_[static_cast<std::size_t>(*slot)];
}

std::optional<std::vector<std::uint32_t>> T5577Chip::ReadPage(int page) const {
  if (page != 0 && page != 1) return std::nullopt;
  if (PasswordMode() || (AnswerOnRequest() && !awake_)) return std::nullopt;
  std::vector<std::uint32_t> out;
  const int last = page == 0 ? 7 : 3;
  for (int b = 1; b <= last; ++b) out.push_back(blocks_[static_cast<std::size_t>(*Slot(page, b))]);
  return out;
}

std::optional<std::vector<std::uint32_t>> T5577Chip::Wake(std::uint32_t password) {
  if (!PasswordOk(password)) return std::nullopt;
  awake_ = true;
  return Broadcast();
}

std::vector<std::uint32_t> T5577Chip::Reset() {
  awake_ = false;
  if (AnswerOnRequest()) return {};
  return Broadcast();
}

bool T5577Chip::WriteLayout(std::span<const std::uint32_t> words, bool lock) {
  if (words.empty() || words.size() > 8 || PasswordMode()) return false;
  for (std::size_t i = 0; i < words.size(); ++i)
    if (locked_[i]) return false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    blocks_[i] = words[i];
    locked_[i] = lock;
  }
  return true;
}

std::vector<std::uint32_t> T5577Chip::Broadcast() const {
  const auto maxBlock = static_cast<std::size_t>(Config() >> 5 & 7);
  if (maxBlock == 0) return {blocks_[0]};
  return {blocks_.begin() + 1, blocks_.begin() + 1 + static_cast<std::ptrdiff_t>(maxBlock)};
}

std::optional<Emission> T5577Chip::Emit() const {
  if (AnswerOnRequest() && !awake_) return std::nullopt;
  return Emission{GetModulation(), DataRate(), Broadcast()};
}

}  // namespace rivelo::sim
