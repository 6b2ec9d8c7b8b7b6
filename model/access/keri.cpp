#include "model/access/keri.h"

namespace rivelo::access {
namespace {

constexpr std::uint32_t Lead = 0xE0000000;
constexpr std::uint32_t IdMarker = 0x80000000;
// Extended mode (master key 6): PSK1, RF/32, carrier RF/2, MAXBLK 2.
constexpr std::uint32_t KeriBlock0 = 0x603E1040;

std::vector<std::uint32_t> Encode(const AccessValues& v) {
  return {Lead, IdMarker | static_cast<std::uint32_t>(v[0])};
}

std::optional<AccessValues> Decode(std::span<const std::uint32_t> data) {
  if (data[0] != Lead || (data[1] & IdMarker) == 0) return std::nullopt;
  return AccessValues{data[1] & ~IdMarker};
}

}  // namespace

const AccessFormat& Keri() {
  static const AccessFormat f{"keri", "Keri (internal ID)", {{"id", 0, 0x7FFFFFFF}}, KeriBlock0, 2, Encode, Decode};
  return f;
}

}  // namespace rivelo::access
