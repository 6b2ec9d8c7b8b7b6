// The FDX-B (ISO 11784/85) animal identity: a 38-bit national code, a 10-bit country code and
// a 24-bit trailer, always handled as one run of 10 bytes (5, 2 and 3, each big-endian); the
// 12-byte record the reader carries; the six entry fields (hex and decimal per number) and how
// they follow one another; the increment; and the 24-digit line of batch and export files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/identity.h"

namespace rivelo {

constexpr std::size_t FdxbIdLength = 10;
constexpr std::size_t FdxbRecordLength = 12;
using FdxbId = std::array<std::uint8_t, FdxbIdLength>;
using FdxbRecord = std::array<std::uint8_t, FdxbRecordLength>;

enum class FdxbNumber { National, Country, Trailer };

struct FdxbNumberInfo {
  std::size_t offset;      // in the 10-byte identity
  std::size_t bytes;       // 5, 2, 3
  std::uint8_t topMask;    // the bits of the first byte that the number may use
  int hexDigits;           // the hex field shows and takes this many
  int decimalDigits;       // the decimal field shows this many
  int decimalLimit;        // and takes this many
  std::uint64_t maximum;
};
const FdxbNumberInfo& InfoOf(FdxbNumber number);

// The number's value in the identity, and the identity with it replaced (not masked).
std::uint64_t NumberOf(const FdxbId& id, FdxbNumber number);
void SetNumber(FdxbId& id, FdxbNumber number, std::uint64_t value);

// The record of the write commands (flag bytes 0x01) and the identity of a read's record
// (its flag bytes ignored).
FdxbRecord ToRecord(const FdxbId& id);
FdxbId FromRecord(const FdxbRecord& record);

FdxbId ToFdxbId(const Identity& id);  // a shorter identity right-aligned
Identity FromFdxbId(const FdxbId& id);

// The identity the page's three hex fields give: each right-aligned in its bytes (a longer one
// keeps its low bytes), its top byte masked (national 0x3F, country 0x03); an empty field
// gives 0. Typing lets only hex digits in, but a paste does not: a field that holds anything
// else gives no identity at all.
std::optional<FdxbId> FdxbFromHexFields(std::string_view national, std::string_view country,
                                        std::string_view trailer);

// The six field texts that show an identity, in full width.
struct FdxbFields {
  std::string nationalHex, countryHex, trailerHex;
  std::string nationalDec, countryDec, trailerDec;
  bool operator==(const FdxbFields&) const = default;
};
FdxbFields FdxbFieldsOf(const FdxbId& id);

// One field typed into: its own text (clamped to the number's maximum where it went over)
// and its partner's text.
struct FdxbMirror {
  std::string own;
  std::string partner;
};
FdxbMirror MirrorFdxbHex(FdxbNumber number, std::string_view hexText);
FdxbMirror MirrorFdxbDecimal(FdxbNumber number, std::string_view decimalText);

// Adds 1 to the national code, carrying towards its first byte; past the 38-bit maximum it
// starts again at 0. Country code and trailer do not change.
void IncrementNationalCode(FdxbId& id);

// The 24-digit line: national 12, country 4, trailer 8 decimal digits.
std::string FdxbLine(const FdxbId& id);
// Fields by position; a short line of the national code alone, or of national and country
// codes, leaves the later fields 0 ("5" is national 5); a line cut off inside the country code
// or the trailer is refused (the 15-digit form must not load as a shifted identity). Leading
// blanks and trailing blanks are allowed; anything else that is not a digit, and a trailer
// beyond its 3 bytes, is refused. A national code or country code over its maximum but
// within its bytes is taken unmasked, as files have always been written.
LineParse ParseFdxbLine(std::string_view line);

// The 15-digit form of certificates and databases: country as 3 digits, national as 12.
std::string FdxbIso15(const FdxbId& id, std::string_view separator = {});

const IdentityFormat& FdxbFormat();

}  // namespace rivelo
