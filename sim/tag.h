// One tag of the virtual reader: a writable chip with its memory, or a read-only tag that
// sends a fixed frame. Made from a short text such as "t5577" or "em4100:0123456789".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/em4305_chip.h"
#include "sim/emission.h"
#include "sim/t5577_chip.h"
#include "sim/tag_formats.h"

namespace rivelo::sim {

enum class TagKind { T5577, Em4305, Em4100, Fdxb, Fdxa, Hid };

struct Tag {
  int id = 0;
  TagKind kind = TagKind::Em4100;
  std::optional<T5577Chip> t5577;
  std::optional<Em4305Chip> em4305;
  Emission fixed;  // what a read-only tag sends
  // Its history on this reader: what it carried after each write that changed it, how many
  // writes succeeded, and whether a fault took it away before its write was read back.
  std::vector<std::string> carried;
  int writes = 0;
  bool lifted = false;

  std::optional<Emission> Emit() const;
  void FieldOff();
  std::string KindName() const;
  // One line for lists: kind and what the tag carries now.
  std::string Describe() const;
};

// Makes a tag from its text, "t5577[:pwd=HEX8][:aor]" or "em4100:HEX10" (every kind is a row of
// the kind table, sim/tag_kinds.h). nullopt with *error set when the text is not understood.
// id also seeds the chip's serial numbers.
std::optional<Tag> MakeTag(std::string_view text, int id, std::string* error);

// The identity a reader decodes from what the tag sends, per format (nullopt when the
// frame is absent, has the wrong modulation or rate, or fails its checks).
std::optional<Em4100Id> ReadEm4100(const Emission& e);
std::optional<FdxbIdentity> ReadFdxb(const Emission& e);
std::optional<HidCard> ReadHid(const Emission& e);
std::optional<FdxaId> ReadFdxa(const Emission& e);
// "EM4100 0123456789", "FDX-B 999-000000112233", "HID 118:1603", "FDX-A 1A2B3C4D5E" or "".
std::string IdentityText(const Emission& e);

}  // namespace rivelo::sim
