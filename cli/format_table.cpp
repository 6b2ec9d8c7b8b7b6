#include "cli/format_table.h"

#include <algorithm>
#include <cctype>

#include "batch/em4100_profile.h"
#include "model/em4100.h"
#include "model/text_bytes.h"

namespace rivelo::cli {
namespace {

std::string Hex10Error(std::string_view text) {
  return HexBytesExact(text, Em4100IdLength)
             ? std::string()
             : "'" + std::string(text) + "' is not an identity: 10 hex digits, e.g. 0123456789";
}

Identity Em4100Identity(const std::vector<std::string>& values) {
  const auto bytes = HexBytesExact(values.at(0), Em4100IdLength);
  return bytes ? Identity(bytes->begin(), bytes->end()) : Identity{};
}

CliFormat Em4100CliFormat() {
  CliFormat f{};
  f.format = &Em4100Format();
  f.title = "EM4100";
  f.words = {{"HEX10", "10 hex digits, e.g. 0123456789", Hex10Error}};
  f.identity = Em4100Identity;
  f.fileLineHelp = "one identity a line in decimal (13D, as read --continuous --form 13D exports them)";
  f.incrementalHelp = "this identity onto the first tag, one more onto each next";
  f.lockable = true;
  f.profile = MakeEm4305IdProfile;
  // The T5577 runs tick as the T5577 tab's EM4100 page does.
  f.chips = {{"em4305", 300}, {"t5577", 500}};
  return f;
}

bool SameChip(std::string_view key, std::string_view chip) {
  return std::equal(key.begin(), key.end(), chip.begin(), chip.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
}

}  // namespace

const std::vector<CliFormat>& CliFormats() {
  static const std::vector<CliFormat> formats{Em4100CliFormat(), FdxbCliFormat()};
  return formats;
}

BatchProfile ProfileFor(const CliFormat& format, std::function<RunChoices()> choices, std::string_view chip) {
  BatchProfile profile = format.profile(std::move(choices));
  profile.page = std::string("rivelo ") + profile.format->name;
  if (chip.empty()) return profile;
  std::erase_if(profile.ops.writes, [chip](const ChipWrite& w) { return !SameChip(chip, w.chip); });
  for (const CliChip& c : format.chips)
    if (c.key == chip) profile.periodMs = c.periodMs;
  return profile;
}

std::string ChipOrder(const BatchProfile& profile) {
  std::string order;
  for (const ChipWrite& write : profile.ops.writes) order += (order.empty() ? "" : ", then ") + std::string(write.chip);
  return order;
}

std::string DecimalValueError(std::string_view what, std::string_view text, std::uint64_t maximum) {
  const std::string range = "0 to " + std::to_string(maximum);
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
    return std::string(what) + " '" + std::string(text) + "' is not a decimal number from " + range;
  std::uint64_t value = 0;
  for (const char c : text) {
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (digit > maximum || value > (maximum - digit) / 10)
      return std::string(what) + " " + std::string(text) + " is out of range (" + range + ")";
    value = value * 10 + digit;
  }
  return {};
}

}  // namespace rivelo::cli
