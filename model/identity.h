// An identity and the pure description of its format (no port, no runner). The format table
// (batch/format_table.h) pairs each descriptor with the chip operations that read and write it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rivelo {

// One value of an identity as it is typed: a word of the command line, or an option's value.
// Its check holds its range.
struct IdentityField {
  const char* name;  // "HEX10", "COUNTRY"; an option's own name: "--trailer"
  const char* help;  // "10 hex digits, e.g. 0123456789"
  // Why the text is refused, one line naming the value; empty when it is good.
  std::function<std::string(std::string_view text)> check;
  const char* valueName = nullptr;  // an option's value in usage lines: "N"
  const char* fallback = nullptr;   // an option's value when it is not given
  // The range, for listings of the formats; hexDigits: typed as exactly so many hex digits.
  std::uint64_t min = 0;
  std::uint64_t max = 0;
  int hexDigits = 0;
};

// The identity bytes of a tag, most significant first, as the reader hands them over.
using Identity = std::vector<std::uint8_t>;

// One text form of an identity (export lines, keyboard output, the command line).
struct IdentityForm {
  const char* key;      // the command line's and JSON's name: "10H"
  const char* caption;  // the page's caption: "08H---10D"
};

// Why a batch-file line is not an identity.
enum class LineError {
  None,
  NotANumber,
  Negative,
  TrailingText,
  TooLarge,
  PartLine,  // cut off inside a later field: its fields would land in the wrong places
  NotHex,    // not the hex digits of a code
};

struct LineParse {
  std::optional<Identity> id;
  LineError error = LineError::None;
};

// What the reader's own identity write puts into a chip: the T5577's block 0 and data blocks
// 1..n, and the EM4305's configuration word (0: the reader writes the format onto no EM4305),
// whose data words 5.. are the T5577 data blocks with their bits reversed. A write that must go
// block by block (with a password) writes exactly this, so the tag sends what it would have.
struct ChipImage {
  std::uint32_t t5577Block0 = 0;
  std::vector<std::uint32_t> data;
  std::uint32_t em4305Config = 0;
  bool operator==(const ChipImage&) const = default;
};

// An EM4305 data word: the chip sends each word least significant bit first.
std::uint32_t Em4305DataWord(std::uint32_t t5577Block);

// The behaviour members are std::function so that a format made from a descriptor at run time
// (an access-control format) carries its descriptor along.
struct IdentityFormat {
  const char* name;     // "em4100"
  std::size_t length;   // identity bytes compared for equality
  std::vector<IdentityForm> forms;  // forms[0] is the default
  std::function<std::string(const Identity& id, std::size_t form)> text;
  // The identity of the next tag of an incremental run; false, with id unchanged, when id is
  // the last of its range (a run then ends instead of stepping into another range or wrapping).
  std::function<bool(Identity& id)> increment;
  // One batch-file line that is not blank. Anything but a whole identity is refused.
  std::function<LineParse(std::string_view line)> parseLine;
  // The identity that the text of the page's main entry field stands for; empty when it stands
  // for none (the runner refuses an entry of the wrong length, so nothing is written).
  std::function<Identity(std::string_view text)> fromEntry;
  // The identity's fields as label and text, for reports that show every form at once.
  std::function<std::vector<std::pair<std::string, std::string>>(const Identity& id)> fields;

  const char* title = "";  // the format's name in texts: "EM4100"
  // The identity as typed: the words (HEX10; COUNTRY NATIONAL), then the options that complete
  // it (--trailer N). fromValues takes their checked texts in that order.
  std::vector<IdentityField> words{};
  std::vector<IdentityField> options{};
  std::function<Identity(const std::vector<std::string>& values)> fromValues{};
  const char* fileLineHelp = "";     // what one line of a batch file holds
  const char* incrementalHelp = "";  // what an incremental run does, and after its last value
  const char* formNote = nullptr;    // said after the forms; may be null
  const char* tagKind = "";          // the virtual reader's tag kind that carries it
  std::size_t lineForm = 0;          // the form whose lines load back as a batch file
  ChipImage (*chipImage)(const Identity& id) = nullptr;  // null: written by no block image
};

// The form of the given key, or nullopt.
std::optional<std::size_t> FindForm(const IdentityFormat& format, std::string_view key);

// Why text is no whole decimal number from 0 to maximum ("country code 1024 is out of range
// (0 to 1023)"), or empty. what names the value.
std::string DecimalValueError(std::string_view what, std::string_view text, std::uint64_t maximum);


}  // namespace rivelo
