// Each format: the block 0 open tools write for it, how many data blocks follow, and the
// checks of its frame as its public description gives them.
#include "sim/access_decoders.h"

#include <bit>
#include <cstdio>
#include <vector>

namespace rivelo::sim {
namespace {

// The frame's bits in the order the tag sends them (block 1's most significant bit first).
class Frame {
 public:
  explicit Frame(std::span<const std::uint32_t> blocks) : blocks_(blocks) {}
  int Size() const { return static_cast<int>(blocks_.size() * 32); }
  int Bit(int i) const { return static_cast<int>(blocks_[static_cast<std::size_t>(i / 32)] >> (31 - i % 32) & 1); }
  std::uint64_t Field(int from, int count) const {
    std::uint64_t v = 0;
    for (int i = from; i < from + count; ++i) v = v << 1 | static_cast<std::uint64_t>(Bit(i));
    return v;
  }

 private:
  std::span<const std::uint32_t> blocks_;
};

std::string Printed(const char* pattern, auto... values) {
  char buf[80];
  std::snprintf(buf, sizeof buf, pattern, values...);
  return buf;
}

// HID Prox: the byte 1D, then the 44-bit word Manchester-coded (1 as 10, 0 as 01).
std::string Hid(const Frame& f) {
  if (f.Field(0, 8) != 0x1D) return "";
  std::uint64_t word = 0;
  for (int i = 8; i < 96; i += 2) {
    const int a = f.Bit(i), b = f.Bit(i + 1);
    if (a == b) return "";
    word = word << 1 | static_cast<std::uint64_t>(a);
  }
  return DecodeHidWord(word);
}

// AWID: the byte 01, then 22 groups of three data bits and an odd parity bit. The 66 data
// bits: the card's length (26), the H10301 card, zeros.
std::string Awid(const Frame& f) {
  if (f.Field(0, 8) != 0x01) return "";
  std::vector<int> d;
  for (int g = 8; g < 96; g += 4) {
    if ((f.Bit(g) ^ f.Bit(g + 1) ^ f.Bit(g + 2) ^ f.Bit(g + 3)) != 1) return "";
    for (int i = 0; i < 3; ++i) d.push_back(f.Bit(g + i));
  }
  const auto field = [&](int from, int count) {
    unsigned v = 0;
    for (int i = from; i < from + count; ++i) v = v << 1 | static_cast<unsigned>(d[static_cast<std::size_t>(i)]);
    return v;
  };
  if (field(0, 8) != 26) return "";
  int even = 0, odd = 0;
  for (int i = 8; i < 21; ++i) even ^= d[static_cast<std::size_t>(i)];
  for (int i = 21; i < 34; ++i) odd ^= d[static_cast<std::size_t>(i)];
  for (std::size_t i = 34; i < d.size(); ++i)
    if (d[i] != 0) return "";
  if (even != 0 || odd != 1) return "";
  return Printed("AWID26 %u:%u", field(9, 8), field(17, 16));
}

// ioProx (Kantech XSF): nine 0s, the byte F0, then version, facility and the two card bytes
// and the checksum, each after a 1, and 11 to close. Checksum = FF minus the sum of the five
// bytes from F0, modulo 256.
std::string IoProx(const Frame& f) {
  if (f.Field(0, 9) != 0 || f.Field(9, 8) != 0xF0 || f.Field(62, 2) != 3) return "";
  unsigned byte[5];  // facility, version, card high, card low, checksum
  for (int k = 0; k < 5; ++k) {
    if (f.Bit(17 + 9 * k) != 1) return "";
    byte[k] = static_cast<unsigned>(f.Field(18 + 9 * k, 8));
  }
  if (((0xF0 + byte[0] + byte[1] + byte[2] + byte[3] + byte[4]) & 0xFF) != 0xFF) return "";
  return Printed("ioProx XSF(%02X)%02X:%u", byte[1], byte[0], byte[2] << 8 | byte[3]);
}

// Viking: the byte F2, 16 zeros, the 32-bit card number, then a check byte: the XOR of the
// card's four bytes with F2 and A8.
std::string Viking(const Frame& f) {
  if (f.Field(0, 24) != 0xF20000) return "";
  const auto card = static_cast<std::uint32_t>(f.Field(24, 32));
  const unsigned check = (card >> 24 ^ card >> 16 ^ card >> 8 ^ card ^ 0xF2 ^ 0xA8) & 0xFF;
  if (f.Field(56, 8) != check) return "";
  return Printed("Viking %08X", static_cast<unsigned>(card));
}

// Jablotron: 16 ones, a 40-bit ID whose first bit is 0 (else the preamble would run on), a
// check byte: the sum of the ID's five bytes XOR 3A.
std::string Jablotron(const Frame& f) {
  if (f.Field(0, 16) != 0xFFFF || f.Bit(16) != 0) return "";
  unsigned sum = 0;
  for (int k = 0; k < 5; ++k) sum += static_cast<unsigned>(f.Field(16 + 8 * k, 8));
  if (f.Field(56, 8) != ((sum & 0xFF) ^ 0x3A)) return "";
  return Printed("Jablotron %010llX", static_cast<unsigned long long>(f.Field(16, 40)));
}

// Keri: 000...0 then 1 and the 31-bit internal ID, then 111; the tag repeats it from those
// closing ones: block 1 E0000000, block 2 the 1 and the ID. No check of the ID.
std::string Keri(const Frame& f) {
  if (f.Field(0, 32) != 0xE0000000 || f.Bit(32) != 1) return "";
  return Printed("Keri %llu", static_cast<unsigned long long>(f.Field(33, 31)));
}

// Noralsy: BB0214FF, then decimal digits one a nibble: card digits 1-3, the year's two, a
// nibble of unknown meaning (0 or 1 on the cards seen), card digits 4-7; a check nibble =
// XOR of those ten nibbles, a second = XOR of every nibble before it; four zero nibbles.
std::string Noralsy(const Frame& f) {
  if (f.Field(0, 32) != 0xBB0214FF || f.Field(80, 16) != 0) return "";
  unsigned n[12];
  unsigned check = 0, all = 7;  // the header's nibbles XOR to 7
  for (int k = 0; k < 12; ++k) n[k] = static_cast<unsigned>(f.Field(32 + 4 * k, 4));
  for (int k = 0; k < 10; ++k) {
    if (n[k] > 9 && k != 5) return "";
    check ^= n[k];
  }
  all ^= check ^ n[10];
  if (n[10] != check || n[11] != all) return "";
  const unsigned card = ((n[0] * 10 + n[1]) * 10 + n[2]) * 10000 + n[6] * 1000 + n[7] * 100 + n[8] * 10 + n[9];
  return Printed("Noralsy %u%u:%u", n[3], n[4], card);
}

// Pyramid: 0x0001, thirteen bytes of seven data bits and an odd parity bit, and a CRC-8/MAXIM
// byte over those thirteen. Of the 91 data bits a 26-bit card takes the last 26 with a 1 just
// before them and 0s above: H10301 parities, facility 8 bits, card 16.
std::string Pyramid(const Frame& f) {
  if (f.Field(0, 16) != 1) return "";
  std::vector<int> d;
  unsigned crc = 0;
  for (int at = 16; at < 120; at += 8) {
    const auto byte = static_cast<unsigned>(f.Field(at, 8));
    if (std::popcount(byte) % 2 != 1) return "";
    for (int i = 0; i < 7; ++i) d.push_back(f.Bit(at + i));
    crc ^= byte;
    for (int i = 0; i < 8; ++i) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0x8C : crc >> 1;
  }
  if (f.Field(120, 8) != crc) return "";
  for (std::size_t i = 0; i < 64; ++i)
    if (d[i] != 0) return "";
  if (d[64] != 1) return "";
  int even = 0, odd = 0;
  unsigned facility = 0, card = 0;
  for (std::size_t i = 65; i < 78; ++i) even ^= d[i];
  for (std::size_t i = 78; i < 91; ++i) odd ^= d[i];
  for (std::size_t i = 66; i < 74; ++i) facility = facility << 1 | static_cast<unsigned>(d[i]);
  for (std::size_t i = 74; i < 90; ++i) card = card << 1 | static_cast<unsigned>(d[i]);
  if (even != 0 || odd != 1) return "";
  return Printed("Pyramid %u:%u", facility, card);
}

// Presco: 10D00000, two zero blocks, the 32-bit full code (no check of its own).
std::string Presco(const Frame& f) {
  if (f.Field(0, 32) != 0x10D00000 || f.Field(32, 64) != 0) return "";
  return Printed("Presco %08X", static_cast<unsigned>(f.Field(96, 32)));
}

// PAC/Stanley: FF, then twelve ten-bit characters: 0, seven bits from the least significant,
// odd parity, 1. STX '2' '0', eight ID characters (hex digits on the cards issued), their XOR.
std::string Pac(const Frame& f) {
  if (f.Field(0, 8) != 0xFF) return "";
  char text[13] = {};
  for (int k = 0; k < 12; ++k) {
    const int at = 8 + 10 * k;
    if (f.Bit(at) != 0 || f.Bit(at + 9) != 1 || std::popcount(static_cast<unsigned>(f.Field(at + 1, 8))) % 2 != 1) return "";
    int c = 0;
    for (int i = 7; i >= 1; --i) c = c << 1 | f.Bit(at + i);
    text[k] = static_cast<char>(c);
  }
  if (text[0] != 0x02 || text[1] != '2' || text[2] != '0') return "";
  char x = 0;
  for (int k = 3; k < 11; ++k) {
    const bool hex = (text[k] >= '0' && text[k] <= '9') || (text[k] >= 'A' && text[k] <= 'F');
    if (!hex) return "";
    x = static_cast<char>(x ^ text[k]);
  }
  if (text[11] != x) return "";
  text[11] = '\0';
  return Printed("PAC/Stanley %s", text + 3);
}

// Visa2000: "VIS2", the card number, then 20 zero bits, an even parity bit for each of the
// card's eight nibbles and the XOR of those nibbles.
std::string Visa2000(const Frame& f) {
  if (f.Field(0, 32) != 0x56495332 || f.Field(64, 20) != 0) return "";
  unsigned x = 0;
  for (int k = 0; k < 8; ++k) {
    const auto nibble = static_cast<unsigned>(f.Field(32 + 4 * k, 4));
    if (static_cast<unsigned>(f.Bit(84 + k)) != (std::popcount(nibble) & 1u)) return "";
    x ^= nibble;
  }
  if (f.Field(92, 4) != x) return "";
  return Printed("Visa2000 %u", static_cast<unsigned>(f.Field(32, 32)));
}

// EM4100: nine 1s, ten rows of four bits each with an even parity bit, four even column
// parities, a 0.
std::string Em4100(const Frame& f, const char* rate) {
  if (f.Field(0, 9) != 0x1FF || f.Bit(63) != 0) return "";
  unsigned long long id = 0;
  unsigned columns = 0;
  for (int row = 0; row < 10; ++row) {
    const auto nibble = static_cast<unsigned>(f.Field(9 + 5 * row, 4));
    const int p = f.Bit(13 + 5 * row);
    if ((std::popcount(nibble) + p) % 2 != 0) return "";
    columns ^= nibble;
    id = id << 4 | nibble;
  }
  if (f.Field(59, 4) != columns) return "";
  return Printed("EM4100 %s %010llX", rate, id);
}

struct Layout {
  std::uint32_t block0;
  std::size_t blocks;
  std::string (*decode)(const Frame&);
};

// Blocks 0 as the tag reference lists them; formats sharing one tell themselves apart by
// their preambles.
const Layout Layouts[] = {
    {0x00107060, 3, Hid},
    {0x00107060, 3, Awid},
    {0x00147040, 2, IoProx},
    {0x00088040, 2, Viking},
    {0x00158040, 2, Jablotron},
    {0x603E1040, 2, Keri},
    {0x00088068, 3, Noralsy},
    {0x00107080, 4, Pyramid},
    {0x00088088, 4, Presco},
    {0x00080080, 4, Pac},
    {0x00148068, 3, Visa2000},
    {0x00148040, 2, [](const Frame& f) { return Em4100(f, "RF/64"); }},
    {0x00088040, 2, [](const Frame& f) { return Em4100(f, "RF/32"); }},
    {0x00048040, 2, [](const Frame& f) { return Em4100(f, "RF/16"); }},
};

}  // namespace

std::string DecodeAccessBlocks(std::uint32_t block0, std::span<const std::uint32_t> data) {
  constexpr std::uint32_t passwordAndWake = 0x210;
  for (const Layout& l : Layouts) {
    if ((block0 & ~passwordAndWake) != l.block0 || data.size() < l.blocks) continue;
    std::string found = l.decode(Frame(data.first(l.blocks)));
    if (!found.empty()) return found;
  }
  return "";
}

}  // namespace rivelo::sim
