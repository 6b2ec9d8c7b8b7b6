// A chip's configuration in rivelo's words, one "  label  value" line a field: the T5577's
// block 0 and the EM4305's word 4, as the block and word commands, inspect and the backups
// show them.
#pragma once

#include <cstdint>
#include <string>

namespace rivelo::cli {

std::string T5577Block0Words(std::uint32_t block0);
std::string Em4305ConfigWords(std::uint32_t word4);

// What the reader cannot do with a tag set up by this block 0, with the consequence; empty
// when the tag stays readable. passwordKnown: the command writing it has the password.
std::string T5577Block0Warnings(std::uint32_t block0, bool passwordKnown);

std::string Hex8(std::uint32_t value);

// The same fields as one JSON object: {"modulation":"Manchester","dataRate":32,...}.
std::string T5577Block0Json(std::uint32_t block0);
std::string Em4305ConfigJson(std::uint32_t word4);

}  // namespace rivelo::cli
