// The reply frame as the reader's protocol defines it, decoded independently of the codec
// under test: the targets hold the codec and the command functions to this.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace rivelo::fuzz {

struct OracleReply {
  bool valid = false;
  std::uint8_t status = 0xFF;
  std::vector<std::uint8_t> payload;
  std::vector<std::uint8_t> logical;  // unstuffed, from wire position 2 on
  bool openStuffing = false;          // the last 0xAA's stuffing byte has not arrived
};

// Valid: length, command, status and checksum arrived, the XOR from the command on is 0, and
// every payload byte the length field announces arrived; bytes behind the announced frame
// never make up for its own checksum. Header bytes are not judged.
inline OracleReply DecodeReply(std::span<const std::uint8_t> raw) {
  OracleReply r;
  for (std::size_t i = 2; i < raw.size(); ++i) {
    r.logical.push_back(raw[i]);
    if (raw[i] == 0xAA) {
      if (i + 1 == raw.size()) r.openStuffing = true;
      ++i;
    }
  }
  const auto& l = r.logical;
  if (l.size() < 6) return r;
  std::uint8_t x = 0;
  for (std::size_t i = 2; i < l.size(); ++i) x = static_cast<std::uint8_t>(x ^ l[i]);
  const long announced = long{l[0]} * 256 + l[1] - 4;
  if (x != 0 || announced > static_cast<long>(l.size()) - 6) return r;
  if (announced >= 0) {
    std::uint8_t own = 0;
    for (std::size_t i = 2; i < static_cast<std::size_t>(announced) + 6; ++i) own = static_cast<std::uint8_t>(own ^ l[i]);
    if (own != 0) return r;
  }
  r.valid = true;
  r.status = l[4];
  const std::size_t p = static_cast<std::size_t>(std::max(announced, 0L));
  r.payload.assign(l.begin() + 5, l.begin() + 5 + static_cast<std::ptrdiff_t>(p));
  return r;
}

}  // namespace rivelo::fuzz
