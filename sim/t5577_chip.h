// The T5577 (ATA5577) memory and its rules: configuration block, password mode, answer on
// request, lock bits. Page 0 holds blocks 0-7, page 1 blocks 0-3 (its block 0 is page 0's).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sim/emission.h"

namespace rivelo::sim {

class T5577Chip {
 public:
  static constexpr int BlockCount = 12;  // page 0 blocks 0-7, then page 1 blocks 0-3

  // A blank chip: factory configuration, zero user data, traceability data on page 1.
  explicit T5577Chip(std::uint32_t serial);

  // Slot in the memory for page/block, or nullopt if there is no such block.
  static std::optional<int> Slot(int page, int block);

  // Each operation returns nullopt when the chip refuses it. password is nullopt for the
  // plain commands; it is checked only when the chip is in password mode.
  // A write returns the block as read back.
  std::optional<std::uint32_t> WriteBlock(int page, int block, std::uint32_t data, bool lock,
                                          std::optional<std::uint32_t> password);
  std::optional<std::uint32_t> ReadBlock(int page, int block, std::optional<std::uint32_t> password) const;
  // Blocks 1-7 of page 0 or 1-3 of page 1.
  std::optional<std::vector<std::uint32_t>> ReadPage(int page) const;
  // Answer-on-request wake-up; returns what the tag then sends (blocks 1..MAXBLK).
  std::optional<std::vector<std::uint32_t>> Wake(std::uint32_t password);
  // Starts again as after power-up; returns what the tag then sends (empty when silent).
  std::vector<std::uint32_t> Reset();
  // An identity layout written by the reader without a password: words[0] into block 0,
  // the rest into blocks 1... All or nothing; lock locks the blocks written.
  bool WriteLayout(std::span<const std::uint32_t> words, bool lock);

  // nullopt while the tag is silent (answer on request, not woken).
  std::optional<Emission> Emit() const;
  // The field dropped: the tag forgets that it was woken.
  void FieldOff() { awake_ = false; }

  std::uint32_t Config() const { return blocks_[0]; }
  bool PasswordMode() const { return (Config() & 0x10) != 0; }
  bool AnswerOnRequest() const { return (Config() & 0x200) != 0; }
  int DataRate() const;  // RF/n
  Modulation GetModulation() const;

  // Raw memory, for inspection and for making tags.
  std::uint32_t Raw(int slot) const { return blocks_[static_cast<std::size_t>(slot)]; }
  bool RawLocked(int slot) const { return locked_[static_cast<std::size_t>(slot)]; }
  void SetRaw(int slot, std::uint32_t value) { blocks_[static_cast<std::size_t>(slot)] = value; }

 private:
  bool PasswordOk(std::optional<std::uint32_t> password) const;
  std::vector<std::uint32_t> Broadcast() const;

  std::array<std::uint32_t, BlockCount> blocks_{};
  std::array<bool, BlockCount> locked_{};
  bool awake_ = false;
};

}  // namespace rivelo::sim
