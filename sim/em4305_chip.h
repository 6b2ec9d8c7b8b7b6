// The EM4305 memory and its rules: 16 words, UID, write-only password, configuration word,
// login, the two protection words, disable.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "sim/emission.h"

namespace rivelo::sim {

class Em4305Chip {
 public:
  static constexpr int WordCount = 16;
  static constexpr std::uint32_t InForce = 0x8000;        // pr15: this protection word counts
  static constexpr std::uint32_t ProtectsItself = 0x4000;  // pr14
  static constexpr std::uint32_t ReadLogin = 1u << 18;
  static constexpr std::uint32_t WriteLogin = 1u << 20;
  static constexpr std::uint32_t DisableAllowed = 1u << 23;
  static constexpr std::uint32_t ReaderTalksFirst = 1u << 24;

  // As delivered: configuration 0002008F, password 0, words 0 and 1 protected.
  Em4305Chip(std::uint32_t uid, std::uint32_t password);

  // Each returns false/nullopt when the chip refuses.
  std::optional<std::uint32_t> ReadWord(int word) const;
  bool WriteWord(int word, std::uint32_t value);
  bool Login(std::uint32_t password);
  // mask: bit n protects word n (n 0-13), bit 14 the protection words.
  bool Protect(std::uint32_t mask);
  bool Disable();
  // An identity layout: config into word 4, data words into 5...; all or nothing. lock
  // protects the words written.
  bool WriteLayout(std::uint32_t config, std::span<const std::uint32_t> data, bool lock);

  // nullopt while silent (disabled, or reader talks first).
  std::optional<Emission> Emit() const;
  // The field dropped: login and disable end.
  void FieldOff() {
    loggedIn_ = false;
    disabled_ = false;
  }

  bool Disabled() const { return disabled_; }
  bool LoggedIn() const { return loggedIn_; }
  std::uint32_t Config() const { return words_[4]; }
  // The protection bits in force (pr0-pr14).
  std::uint32_t Protection() const;

  std::uint32_t Raw(int word) const { return words_[static_cast<std::size_t>(word)]; }
  void SetRaw(int word, std::uint32_t value) { words_[static_cast<std::size_t>(word)] = value; }

 private:
  bool MayWrite(int word) const;
  bool MayProtect() const;
  void AddProtection(std::uint32_t mask);

  std::array<std::uint32_t, WordCount> words_{};
  bool loggedIn_ = false;
  bool disabled_ = false;
};

}  // namespace rivelo::sim
