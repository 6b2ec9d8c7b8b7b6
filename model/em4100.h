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

// Reads text as the C library's 64-bit text-to-integer conversion does (white space, sign,
// digits up to the first other character; nothing gives 0; beyond the signed 64-bit range
// the value saturates) and stores its low out.size() bytes, most significant first, with
// arithmetic shifts (so -1 fills every byte with FF).
void DecimalToBytes(std::string_view text, std::span<std::uint8_t> out);
Em4100Id DecimalToId(std::string_view text);

// The first n bytes (n <= 8) as an unsigned big-endian value in exactly width decimal digits
// with leading zeros; a wider value keeps its low width digits.
std::string FormatDecimal(const std::uint8_t* bytes, std::size_t n, int width);

// Two upper-case hex digits per byte.
std::string FormatHex(std::span<const std::uint8_t> bytes);

// The text of an identity in one form (export lines and keyboard output).
std::string Em4100FormText(const Em4100Id& id, Em4100Form form);

// The hex field's reading of its text: (L + 1) / 2 bytes, an odd first digit a byte of its
// own; empty text gives no bytes.
std::vector<std::uint8_t> HexDigitsToBytes(std::string_view text);

// The decimal field's reading of its text: the digits accumulated in unsigned 64 bits
// (wrapping), as the shortest big-endian byte string that holds the value, at least one
// byte; empty text gives no bytes.
std::vector<std::uint8_t> DecimalDigitsToBytes(std::string_view text);

}  // namespace rivelo
