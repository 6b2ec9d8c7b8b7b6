// Single operations on the tag on the reader, below the window's raw-access pages and rivelo's
// t5577 and em4305 commands, so both apply the same rules and report the same reason:
// - a T5577 block write counts only when the block the reader fetches back after writing
//   equals it (a locked block or a wrong password leaves the old data, although the reader
//   answered both commands);
// - the factory restore of T5577 block 0 retries with the chip's password when the plain write
//   does not read back;
// - an EM4305 word write counts only when the word reads back as written (the reader's
//   acknowledgement is no proof).
// Bytes are as the reader carries them: a T5577 block most significant byte first, an EM4305
// word least significant byte first.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "batch/tag_result.h"

namespace rivelo {

using TagBytes4 = std::array<std::uint8_t, 4>;

// A result, and the 4 bytes the tag gave (a read's value, or what a write read back).
struct TagData {
  TagResult result;
  std::optional<TagBytes4> value;
};

// A block of page 0 or 1; with a password the password commands are used. A refusal hints at a
// password-protected chip (a read without a password); a write that does not count is followed
// by a read of the block, which tells a locked block (it reads) from a chip that asks for a
// password (it does not).
TagData ReadT5577Block(int page, int block, const std::optional<TagBytes4>& password);
TagData WriteT5577Block(int page, int block, bool lock, const TagBytes4& data,
                        const std::optional<TagBytes4>& password);

// Writes FactoryConfigWord into page 0 block 0, unlocked. When the plain write is answered but
// not read back, the chip is taken to be password-protected: password() is asked (once) and
// the write repeated with it; a nullopt from it ends the restore with the plain write's result.
TagResult RestoreT5577Config(const std::function<std::optional<TagBytes4>()>& password);

// Words 0 and 3-13 (1 is the UID, 2 the password that never reads back, 14 and 15 the
// protection words: NotSent). loggedIn says the frontend logged in first, which turns the hint
// of a refusal from a needed login to a protected word.
TagData WriteEm4305Word(int word, const TagBytes4& data, bool loggedIn);
// Word 2 never leaves the chip: NotSent.
TagData ReadEm4305Word(int word, bool loggedIn);

}  // namespace rivelo
