// An identity and the description of its format. Every identity page, the batch runner and
// the command line work through a format's descriptor, so a new format is one descriptor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rivelo {

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
};

struct LineParse {
  std::optional<Identity> id;
  LineError error = LineError::None;
};

struct IdentityFormat {
  const char* name;     // "em4100"
  std::size_t length;   // identity bytes compared for equality
  std::vector<IdentityForm> forms;  // forms[0] is the default
  std::string (*text)(const Identity& id, std::size_t form);
  // The identity of the next tag of an incremental run.
  void (*increment)(Identity& id);
  // One batch-file line that is not blank. Anything but a whole identity is refused.
  LineParse (*parseLine)(std::string_view line);
  // The identity that the text of the page's main entry field stands for.
  Identity (*fromEntry)(std::string_view text);
  // The identity's fields as label and text, for reports that show every form at once.
  std::vector<std::pair<std::string, std::string>> (*fields)(const Identity& id);
};

// The form of the given key, or nullopt.
std::optional<std::size_t> FindForm(const IdentityFormat& format, std::string_view key);

// The formats known to this build, for the command line and reports.
const std::vector<const IdentityFormat*>& IdentityFormats();
const IdentityFormat* FindFormat(std::string_view name);

}  // namespace rivelo
