#include "test_frames.h"

namespace rivelo::simtest {

Bytes RequestFrame(std::uint16_t code, const Bytes& data) {
  Bytes logical{static_cast<std::uint8_t>((data.size() + 3) >> 8), static_cast<std::uint8_t>(data.size() + 3),
                static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code)};
  logical.insert(logical.end(), data.begin(), data.end());
  std::uint8_t x = 0;
  for (std::size_t i = 2; i < logical.size(); ++i) x ^= logical[i];
  logical.push_back(x);
  Bytes wire{0xAA, 0xDD};
  for (const auto b : logical) {
    wire.push_back(b);
    if (b == 0xAA) wire.push_back(0x00);
  }
  return wire;
}

HostReply ParseReply(const Bytes& raw) {
  HostReply r;
  if (raw.size() < 2 || raw[0] != 0xAA || raw[1] != 0xDD) return r;
  Bytes logical;
  for (std::size_t i = 2; i < raw.size(); ++i) {
    logical.push_back(raw[i]);
    if (raw[i] == 0xAA) ++i;
  }
  if (logical.size() < 6) return r;
  const std::size_t length = static_cast<std::size_t>(logical[0] << 8 | logical[1]);
  if (length < 4 || logical.size() != length + 2) return r;
  std::uint8_t x = 0;
  for (std::size_t i = 2; i < logical.size(); ++i) x ^= logical[i];
  if (x != 0) return r;
  r.valid = true;
  r.code = static_cast<std::uint16_t>(logical[2] << 8 | logical[3]);
  r.status = logical[4];
  r.payload.assign(logical.begin() + 5, logical.end() - 1);
  return r;
}

Bytes Hex(const std::string& text) {
  Bytes out;
  int half = -1;
  for (const char c : text) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else continue;
    if (half < 0) {
      half = v;
    } else {
      out.push_back(static_cast<std::uint8_t>(half << 4 | v));
      half = -1;
    }
  }
  return out;
}

Bytes Be32(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v)};
}

Exchange Send(sim::VirtualReader& r, std::uint16_t code, const Bytes& data) {
  const sim::Reply reply = r.Respond(RequestFrame(code, data));
  Exchange e;
  e.silent = reply.bytes.empty();
  e.reply = ParseReply(reply.bytes);
  return e;
}

}  // namespace rivelo::simtest
