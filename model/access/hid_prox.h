// HID Prox Wiegand cards on a T5577: H10301 (26-bit) and Corporate 1000 (35-bit). Every HID
// Prox card sends the same 96-bit FSK frame: the preamble 0x1D, then a 44-bit
// word Manchester-coded into 88 bits. Below 37 bits the word holds a header 1 at bit 37 and a
// sentinel 1 just above the Wiegand frame; a 37-bit frame fills bits 0-36 with nothing above.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/access/access_bits.h"
#include "model/access/access_format.h"

namespace rivelo::access {

const AccessFormat& HidH10301();
const AccessFormat& HidCorporate1000();

// The 44-bit word of a Wiegand frame of `length` bits (26-37), and the frame back from a word
// that holds one of exactly that length.
std::uint64_t HidWord(std::uint64_t frame, int length);
std::optional<std::uint64_t> HidFrame(std::uint64_t word, int length);

// The HID blocks 1-3 of a Wiegand frame, and the frame of exactly `length` bits back from them.
std::vector<std::uint32_t> HidBlocks(const Wiegand& w);
std::optional<Wiegand> HidWiegand(std::span<const std::uint32_t> data, int length);

// Every HID Prox format's block 0: FSK2a at RF/50 sending blocks 1-3.
std::uint32_t HidBlock0();

}  // namespace rivelo::access
