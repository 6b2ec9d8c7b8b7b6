// The EM4100 identity: 5 bytes, most significant first (byte 0 the customer byte, bytes 1-4
// the 32-bit serial), its text forms and the conversions the pages and batch runs use.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/identity.h"
#include "model/text_bytes.h"

namespace rivelo {

constexpr std::size_t Em4100IdLength = 5;
using Em4100Id = std::array<std::uint8_t, Em4100IdLength>;

// The four forms an identity is shown and typed in. The numbering is the order of the
// page's radio buttons.
enum class Em4100Form {
  Hex10,       // "10H": all 5 bytes as 10 upper-case hex digits
  Dec08H,      // "08H---10D": bytes 1-4 as 10 decimal digits
  Dec06H,      // "06H---10D": bytes 2-4 as 10 decimal digits
  Split02And04, // "02H + 04H": byte 2 as 3 digits, then bytes 3-4 as 5 digits
  Dec13,        // all 40 bits as 13 decimal digits: the T5577 page's form, and the one form
                // whose lines read back as the whole identity from a batch file
};

// The caption of a form, the same in both builds.
const char* Em4100FormCaption(Em4100Form form);

// A value of k bytes (1 <= k <= 5) copied to the end of an identity, the leading bytes 00.
// No bytes give all zero; more than 5 keep the last 5.
Em4100Id AlignRight5(std::span<const std::uint8_t> bytes);

// Adds 1, carrying from byte 4 towards byte 0; the carry out of byte 0 is dropped.
void IncrementId(Em4100Id& id);

// The text of an identity in one form (export lines and keyboard output).
std::string Em4100FormText(const Em4100Id& id, Em4100Form form);

// An identity of the EM4100 format as its 5 bytes (a shorter one right-aligned).
Em4100Id ToEm4100Id(const Identity& id);
Identity FromEm4100Id(const Em4100Id& id);

// Strict batch-file line: optional leading blanks, decimal digits (leading zeros allowed),
// optional trailing blanks; at most 40 bits.
LineParse ParseEm4100Line(std::string_view line);

// The EM4100 format: 5 bytes, the five text forms in the order of Em4100Form.
const IdentityFormat& Em4100Format();

}  // namespace rivelo
