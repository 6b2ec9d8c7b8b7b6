// An access-control format a T5577 can carry: its identity fields with their ranges, the
// block image (block 0 and the data blocks) an identity becomes, and the identity back from a
// block image. The text forms, batch lines and increments are the same for every format and
// work on the fields alone, so a new format is its fields and its two block functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/identity.h"

namespace rivelo::access {

struct AccessField {
  const char* name;        // "facility", "card": the command line's and JSON's name
  std::uint64_t min;
  std::uint64_t max;
  int hexDigits = 0;       // 0: decimal; else written and typed as exactly this many hex digits
};

// The identity as one value per field, in the format's field order.
using AccessValues = std::vector<std::uint64_t>;

struct BlockImage {
  std::uint32_t block0 = 0;
  std::vector<std::uint32_t> data;  // blocks 1..MAXBLK
  bool operator==(const BlockImage&) const = default;
};

struct AccessFormat {
  const char* name;    // "hid-h10301"
  const char* title;   // "HID Prox 26-bit (H10301)"
  std::vector<AccessField> fields;
  std::uint32_t block0;
  std::size_t dataBlocks;
  // The data blocks of an identity whose values are in range (InRange).
  std::vector<std::uint32_t> (*encode)(const AccessValues& values);
  // The identity the data blocks carry, or nullopt when their preamble, framing, parity or
  // checksum does not hold or a bit the format fixes is not as fixed. Called with exactly
  // dataBlocks blocks.
  std::optional<AccessValues> (*decode)(std::span<const std::uint32_t> data);
};

// Every format this build writes, most often cloned first.
const std::vector<const AccessFormat*>& AccessFormats();
const AccessFormat* FindAccessFormat(std::string_view name);

bool InRange(const AccessFormat& format, const AccessValues& values);

// The whole image of an identity in range; nullopt otherwise.
std::optional<BlockImage> Encode(const AccessFormat& format, const AccessValues& values);
// The identity of an image whose block 0 is the format's (its password and answer-on-request
// bits aside: a protected tag sends the same signal) and whose data blocks decode.
std::optional<AccessValues> Decode(const AccessFormat& format, const BlockImage& image);

// The identity as its fields separated by ':' ("118:1603"), each decimal or in its hex digits:
// the text shown, exported and read back from a batch file.
std::string Text(const AccessFormat& format, const AccessValues& values);

// Why a line is not an identity, and which field (0-based) it stopped at.
struct AccessParse {
  std::optional<AccessValues> values;
  LineError error = LineError::None;
  std::size_t field = 0;
};

// A batch-file line or typed text: optional blanks, then exactly the format's fields separated
// by ':' (decimal digits, leading zeros allowed, or a hex field's exact digits), optional blanks.
// A value outside its field's range (or a hex field with too many digits) is TooLarge; missing
// fields or digits PartLine; anything more TrailingText.
AccessParse ParseLine(const AccessFormat& format, std::string_view line);

// The next identity of an incremental run: the last field plus one, the others kept. nullopt
// past the last field's maximum: the run ends there rather than wrap to an issued card.
std::optional<AccessValues> Increment(const AccessFormat& format, const AccessValues& values);

}  // namespace rivelo::access
