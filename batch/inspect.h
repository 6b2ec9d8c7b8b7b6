// What is on the reader, found out with the reader's own commands and nothing that could harm a
// chip: which chip (T5577, EM4305, or a tag the reader only reads), its memory, configuration,
// password protection, locks and the identities it carries. The frontends word the report.
//
// The probe, in order:
// - EM4305: word 1 (the UID) reads on every EM4305, login or not. A configuration that does not
//   read asks for a login; only then, and only with a password given, does the probe log in.
// - T5577: a plain read of block 0. When the chip refuses it, a reset shows whether a T5577 is
//   there at all (it hands back the blocks it sends, password mode or not); only then, and only
//   with a password given, are the blocks read with the password. A password read sent to a
//   T5577 without password mode can leave it unreadable, so it is never sent on a guess.
//   A T5577 in answer-on-request mode is silent: with a password the probe wakes it first.
// - The identity reads of the reader's own formats, for every tag that sends.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/tag_operations.h"

namespace rivelo {

enum class InspectChip { None, T5577, Em4305, ReadOnly };

// Where an identity was found: the reader read it from the tag's signal, or it was decoded from
// the blocks read (or, on a protected T5577 without its password, the blocks it sends).
enum class IdentitySource { Reader, Blocks };

struct FoundIdentity {
  std::string format;  // "em4100", "hid-h10301"
  std::string title;   // "EM4100", "HID Prox 26-bit (H10301)"
  std::string text;    // the identity in its format's first form
  IdentitySource source = IdentitySource::Reader;
};

struct InspectReport {
  InspectChip chip = InspectChip::None;
  // A line fault or a lost port stopped the probe: what was found so far is no answer.
  std::optional<TagResult> failure;
  bool passwordGiven = false;
  bool passwordProtected = false;  // T5577 password mode, EM4305 read or write login
  bool passwordRefused = false;    // the password given did not open the chip
  bool loginNeededToRead = false;  // the memory stayed unread for want of a password
  bool blank = false;              // factory configuration and empty user memory

  // T5577: page 0 blocks 0-7 as read (nullopt: not read; block 7 is the password in password
  // mode and never kept), and what a protected chip sends after a reset.
  bool answerOnRequest = false;
  std::vector<std::optional<std::uint32_t>> blocks;
  std::vector<std::uint32_t> sent;

  // EM4305: words 0-15 as read (word 2, the password, never reads), the UID and the locked
  // words from the protection word in force.
  std::vector<std::optional<std::uint32_t>> words;
  std::optional<std::uint32_t> uid;
  std::optional<std::vector<int>> lockedWords;

  std::vector<FoundIdentity> identities;

  std::optional<std::uint32_t> Config() const;  // T5577 block 0 or EM4305 word 4
};

// password: as typed, most significant byte first (the EM4305 login gets it in its own order).
InspectReport InspectTag(const std::optional<TagBytes4>& password);

// The EM4305 words a protection word's bits lock (bit n word n, bit 14 words 14 and 15).
std::vector<int> Em4305LockedWords(std::uint32_t protection);

// The identities of the access-control formats a T5577 image decodes to.
std::vector<FoundIdentity> DecodeAccessImage(std::uint32_t block0, const std::vector<std::uint32_t>& data);

inline constexpr std::uint32_t T5577FactoryConfig = 0x000880E8;
inline constexpr std::uint32_t Em4305DeliveredConfig = 0x0002008F;
inline constexpr int T5577PasswordBlock = 7;

}  // namespace rivelo
