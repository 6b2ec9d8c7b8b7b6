// Test-only host frames, written from the protocol's description (not taken from the
// reader link, so that the device is checked against an independent reading).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/virtual_reader.h"

namespace rivelo::simtest {

using Bytes = std::vector<std::uint8_t>;

Bytes RequestFrame(std::uint16_t code, const Bytes& data);

struct HostReply {
  bool valid = false;  // header, length and checksum right
  std::uint16_t code = 0;
  std::uint8_t status = 0xFF;
  Bytes payload;
};
HostReply ParseReply(const Bytes& raw);

Bytes Hex(const std::string& text);  // "00 14 80 40" or "00148040"
Bytes Be32(std::uint32_t v);

// One exchange with a virtual reader; ok() = valid reply with status 0.
struct Exchange {
  HostReply reply;
  bool silent = false;
  bool ok() const { return !silent && reply.valid && reply.status == 0; }
  bool failed() const { return !silent && reply.valid && reply.status != 0 && reply.payload.empty(); }
};
Exchange Send(sim::VirtualReader& r, std::uint16_t code, const Bytes& data = {});

}  // namespace rivelo::simtest
