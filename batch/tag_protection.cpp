#include "batch/tag_protection.h"

#include <cstring>

#include "batch/t5577_image.h"
#include "batch/tag_operations.h"
#include "model/em4305_config.h"
#include "model/t5577_block0.h"
#include "reader/commands.h"

namespace rivelo {
namespace {

constexpr int T5577PasswordBlock = 7;
constexpr int Em4305PasswordWord = 2;
constexpr int Em4305ConfigWord = 4;
constexpr int Em4305FirstDataWord = 5;

// The reader carries an EM4305 word least significant byte first.
TagBytes4 Em4305Wire(std::uint32_t word) {
  return {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word >> 16),
          static_cast<std::uint8_t>(word >> 24)};
}
std::uint32_t PasswordWord(const TagPassword& p) { return BlockWord(p); }

bool IsT5577(const ChipWrite& w) { return std::strcmp(w.chip, "T5577") == 0; }

// Whether the T5577 on the reader is in password mode: Done when it is not, Refused when it
// is (its direct reads need the password). A plain read, because a password read sent to a
// chip without password mode can leave some chips unreadable.
TagResult T5577PasswordMode(bool* passwordMode) {
  const TagData plain = ReadT5577Block(0, 0, std::nullopt);
  *passwordMode = plain.result.outcome == TagOutcome::Refused;
  if (plain.result.ok() && plain.value) *passwordMode = (BlockWord(*plain.value) & T5577PasswordBit) != 0;
  return *passwordMode ? TagResult{} : plain.result;
}

void WriteT5577Identity(const ChipWrite& plain, const IdentityFormat& format, const Identity& id,
                        const RunChoices& choices) {
  bool passwordMode = false;
  if (!T5577PasswordMode(&passwordMode).ok()) return;  // nothing known of the chip: the read-back decides
  if (!passwordMode) {
    plain.write(id, choices);
    return;
  }
  // The chip stays in password mode: block 0 keeps the bit, or the next reader could read its
  // password out of block 7 unasked.
  const ChipImage image = format.chipImage(id);
  WriteT5577Image({image.t5577Block0 | T5577PasswordBit, image.data}, *choices.password);
}

// Logged in, the chip's word 4 says whether it asks for a login to write.
void WriteEm4305Identity(const ChipWrite& plain, const IdentityFormat& format, const Identity& id,
                         const RunChoices& choices) {
  if (CmdEm4305Login(Em4305Wire(PasswordWord(*choices.password))) != EOk) {
    plain.write(id, choices);  // another password, or none asked for: the read-back decides
    return;
  }
  const TagData config = ReadEm4305Word(Em4305ConfigWord, true);
  if (!config.result.ok() || !DecodeEm4305Config(Em4305Word(*config.value)).writeLogin || choices.lock != 0) {
    plain.write(id, choices);
    return;
  }
  // The reader's own write would give word 4 its standard value and so drop the write login:
  // the words are written one by one, data first, the configuration with its login last.
  const ChipImage image = format.chipImage(id);
  for (std::size_t i = 0; i < image.data.size(); ++i)
    if (!WriteEm4305Word(Em4305FirstDataWord + static_cast<int>(i), Em4305Wire(Em4305DataWord(image.data[i])), true)
             .result.ok())
      return;
  WriteEm4305Word(Em4305ConfigWord, Em4305Wire(image.em4305Config | Em4305WriteLoginBit), true);
}

TagResult With(TagOutcome outcome) { return {outcome, TagHint::None}; }

TagResult ProtectEm4305(const ChipImage& image, const TagPassword& newPassword,
                        const std::optional<TagPassword>& oldPassword) {
  // Word 2 is written only after a login, also on a chip without write login: with the password
  // the run was given, else (a blank among protected tags) the one chips are delivered with.
  const auto login = [](const TagPassword& p) { return CmdEm4305Login(Em4305Wire(PasswordWord(p))) == EOk; };
  if (!(oldPassword && login(*oldPassword)) && !login(Em4305DeliveredPassword))
    return {TagOutcome::Refused, TagHint::PasswordProtected};
  if (CmdEm4305WriteWord(Em4305PasswordWord, Em4305Wire(PasswordWord(newPassword))) != EOk)
    return With(TagOutcome::Refused);
  // The password never reads back: a login with it is the proof that it took.
  if (CmdEm4305Login(Em4305Wire(PasswordWord(newPassword))) != EOk) return With(TagOutcome::NotReadBack);
  const std::uint32_t config = image.em4305Config | Em4305WriteLoginBit;
  if (const TagData w = WriteEm4305Word(Em4305ConfigWord, Em4305Wire(config), true); !w.result.ok()) return w.result;
  for (std::size_t i = 0; i < image.data.size(); ++i) {
    const TagData got = ReadEm4305Word(Em4305FirstDataWord + static_cast<int>(i), true);
    if (!got.result.ok()) return got.result;
    if (Em4305Word(*got.value) != Em4305DataWord(image.data[i])) return With(TagOutcome::NotReadBack);
  }
  return {};
}

}  // namespace

TagResult ProtectT5577(const T5577Protection& image, const TagPassword& newPassword,
                       const std::optional<TagPassword>& oldPassword) {
  bool passwordMode = false;
  if (const TagResult mode = T5577PasswordMode(&passwordMode); !mode.ok()) return mode;
  if (passwordMode && !oldPassword) return {TagOutcome::Refused, TagHint::PasswordProtected};
  std::optional<TagBytes4> key;
  if (passwordMode) key = *oldPassword;
  // Block 7 first: until block 0 turns password mode on, the chip goes on taking plain writes.
  if (const TagData w = WriteT5577Block(0, T5577PasswordBlock, false, newPassword, key); !w.result.ok())
    return w.result;
  if (passwordMode) key = newPassword;  // block 7 is the password in force from now on
  if (const TagData w = WriteT5577Block(0, 0, false, BlockBytes(image.block0), key); !w.result.ok()) return w.result;
  // Only reads with the new password count: they prove the chip takes it and holds the image.
  const T5577ImageRead back = ReadT5577Image(image.data.size(), newPassword);
  if (!back.result.ok()) return back.result;
  if (back.image->block0 != image.block0 || back.image->data != image.data) return With(TagOutcome::NotReadBack);
  const TagData seven = ReadT5577Block(0, T5577PasswordBlock, newPassword);
  if (!seven.result.ok()) return seven.result;
  return seven.value == newPassword ? TagResult{} : With(TagOutcome::NotReadBack);
}

ChipWrite WithTagPasswords(ChipWrite plain, const IdentityFormat& format) {
  if (format.chipImage == nullptr) return plain;
  ChipWrite w = plain;
  const IdentityFormat* f = &format;
  if (IsT5577(plain)) {
    w.write = [plain, f](const Identity& id, const RunChoices& c) {
      if (c.password) WriteT5577Identity(plain, *f, id, c);
      else plain.write(id, c);
    };
    w.protect = [f](const Identity& id, const RunChoices& c) {
      const ChipImage image = f->chipImage(id);
      return ProtectT5577({image.t5577Block0 | T5577PasswordBit, image.data}, *c.protect, c.password).ok();
    };
  } else {
    w.write = [plain, f](const Identity& id, const RunChoices& c) {
      if (c.password) WriteEm4305Identity(plain, *f, id, c);
      else plain.write(id, c);
    };
    w.protect = [f](const Identity& id, const RunChoices& c) {
      const ChipImage image = f->chipImage(id);
      return image.em4305Config != 0 && ProtectEm4305(image, *c.protect, c.password).ok();
    };
  }
  return w;
}

}  // namespace rivelo
