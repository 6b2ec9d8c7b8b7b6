#include "cli/format_table.h"

#include "batch/em4100_profile.h"
#include "model/em4100.h"
#include "model/text_bytes.h"

namespace rivelo::cli {
namespace {

std::optional<Identity> Em4100Argument(std::string_view text) {
  const auto bytes = HexBytesExact(text, Em4100IdLength);
  if (!bytes) return std::nullopt;
  return Identity(bytes->begin(), bytes->end());
}

}  // namespace

const std::vector<CliFormat>& CliFormats() {
  static const std::vector<CliFormat> formats{
      {&Em4100Format(), "EM4100", "HEX10", "10 hex digits, e.g. 0123456789", Em4100Argument,
       "one identity a line in decimal (13D, as read --continuous --form 13D exports them)", MakeEm4305IdProfile},
  };
  return formats;
}

std::string ChipOrder(const BatchProfile& profile) {
  std::string order;
  for (const ChipWrite& write : profile.ops.writes) order += (order.empty() ? "" : ", then ") + std::string(write.chip);
  return order;
}

}  // namespace rivelo::cli
