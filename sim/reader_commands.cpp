// The command set as the device carries it out on the tag in its field.
#include <algorithm>
#include <cstring>

#include "sim/reader_state.h"

namespace rivelo::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Outcome Ok(Bytes payload = {}) { return {StatusOk, std::move(payload)}; }
Outcome Fail() { return {StatusFail, {}}; }

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}
// EM4305 words travel least significant byte first, the order the chip sends them.
std::uint32_t LittleEndian32(const std::uint8_t* p) {
  return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}
void PutBigEndian(Bytes& out, std::uint64_t v, int n) {
  for (int i = n - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutLittleEndian(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Opcode byte of the T5577 commands: page + 2.
std::optional<int> PageOf(std::uint8_t opcode) {
  if (opcode == 2 || opcode == 3) return opcode - 2;
  return std::nullopt;
}

// The modulation and data rate a 0x107 decoding mode listens for.
std::optional<std::pair<Modulation, int>> ModeSetting(int mode) {
  switch (mode) {
    case 0x25:
    case 0x35: return std::pair{Modulation::Manchester, 64};
    case 0x2A: return std::pair{Modulation::Manchester, 32};
    case 0x3A: return std::pair{Modulation::Biphase, 32};
    default: return std::nullopt;
  }
}

// The 12-byte FDX-B record: national 5, country 2, data-block flag, animal flag, trailer 3.
// nullopt when a field does not fit, or a trailer comes without the data-block flag (the
// frame could not carry it).
std::optional<FdxbIdentity> FdxbFromRecord(const Bytes& d) {
  FdxbIdentity id;
  for (int i = 0; i < 5; ++i) id.national = id.national << 8 | d[static_cast<std::size_t>(i)];
  const unsigned country = static_cast<unsigned>(d[5] << 8 | d[6]);
  id.dataBlock = d[7] != 0;
  id.animal = d[8] != 0;
  id.trailer = static_cast<std::uint32_t>(d[9] << 16 | d[10] << 8 | d[11]);
  if (id.national > FdxbMaxNational || country > FdxbMaxCountry) return std::nullopt;
  if (!id.dataBlock && id.trailer != 0) return std::nullopt;
  id.country = static_cast<std::uint16_t>(country);
  return id;
}

Bytes FdxbRecord(const FdxbIdentity& id) {
  Bytes out;
  PutBigEndian(out, id.national, 5);
  PutBigEndian(out, id.country, 2);
  out.push_back(id.dataBlock ? 1 : 0);
  out.push_back(id.animal ? 1 : 0);
  PutBigEndian(out, id.trailer, 3);
  return out;
}

// Data words for an EM4305: the T5577 blocks with their bits reversed.
std::vector<std::uint32_t> Reversed(std::span<const std::uint32_t> blocks) {
  std::vector<std::uint32_t> out;
  for (const auto b : blocks) out.push_back(Reverse32(b));
  return out;
}

Outcome ReadIdentity(Tag* tag, std::uint16_t code) {
  const auto e = tag ? tag->Emit() : std::nullopt;
  if (!e) return Fail();
  Bytes out;
  if (code == 0x10C) {
    const auto id = ReadEm4100(*e);
    if (!id) return Fail();
    out.assign(id->begin(), id->end());
  } else if (code == 0x10A) {
    const auto id = ReadFdxa(*e);
    if (!id) return Fail();
    out.assign(id->begin(), id->end());
  } else if (code == 0x10D) {
    const auto c = ReadHid(*e);
    if (!c) return Fail();
    out.push_back(c->facility);
    PutBigEndian(out, c->card, 2);
  } else {
    const auto id = ReadFdxb(*e);
    if (!id) return Fail();
    out = FdxbRecord(*id);
  }
  return Ok(std::move(out));
}

}  // namespace

int RadioTimeMs(std::uint16_t code) {
  // Identity reads listen for two frames; writes add the downlink, programming and a read-back.
  switch (code) {
    case 0x10C:
    case 0x10B: return 66;
    case 0x10A:
    case 0x10D: return 77;
    case 0x201:
    case 0x202: return 48;
    case 0x204:
    case 0x205: return 32;
    case 0x203:
    case 0x206: return 130;
    case 0x207: return 80;
    case 0x20C: return 160;
    case 0x20B: return 220;
    case 0x20A:
    case 0x20D: return 200;
    case 0x301:
    case 0x304: return 36;
    case 0x302:
    case 0x303:
    case 0x305: return 30;
    case 0x30C: return 108;
    case 0x30B: return 180;
    default: return 0;
  }
}

bool WritesTag(std::uint16_t code) {
  switch (code) {
    case 0x201:
    case 0x202:
    case 0x20A:
    case 0x20B:
    case 0x20C:
    case 0x20D:
    case 0x301:
    case 0x304:
    case 0x30B:
    case 0x30C: return true;
    default: return false;
  }
}

// Identification and the reader's own signals and settings: no tag takes part.
Outcome VirtualReader::Impl::ExecuteReaderCommand(const Request& r, SimClock::time_point now) {
  const Bytes& d = r.data;
  if (r.code == 0x102) {
    const auto* text = reinterpret_cast<const std::uint8_t*>(IdentificationText);
    return Ok(Bytes(text, text + std::strlen(IdentificationText)));
  }
  if (d.size() != 1) return Fail();
  switch (r.code) {
    case 0x103:
      ++counters.acknowledgements;
      counters.lastAcknowledge = d[0];
      OnAcknowledge(now);
      return Ok();
    case 0x104:
      ++counters.resultSignals;
      counters.lastResult = d[0];
      if (d[0] == 1) OnFailureSignal(now);
      return Ok();
    case 0x107:
      counters.readMode = d[0];
      return Ok();
    default: return Fail();
  }
}

namespace {

// 0x20A-0x20D: a whole identity layout, which the reader encodes into the T5577's blocks.
Outcome WriteT5577Layout(T5577Chip& chip, std::uint16_t code, const Bytes& d) {
  const std::size_t n = d.size();
  switch (code) {
    case 0x20A: {
      if (n != 5 || std::any_of(d.begin(), d.end(), [](std::uint8_t b) { return b > 0x7F; })) return Fail();
      const auto f = FdxaFrame({d[0], d[1], d[2], d[3], d[4]});
      const std::uint32_t words[] = {T5577ConfigFsk, f[0], f[1], f[2]};
      return chip.WriteLayout(words, false) ? Ok() : Fail();
    }
    case 0x20B: {
      const auto id = n == 12 ? FdxbFromRecord(d) : std::nullopt;
      if (!id) return Fail();
      const auto f = FdxbFrame(*id);
      const std::uint32_t words[] = {T5577ConfigFdxb, f[0], f[1], f[2], f[3]};
      return chip.WriteLayout(words, false) ? Ok() : Fail();
    }
    case 0x20C: {
      if (n != 6) return Fail();
      const auto f = Em4100Frame({d[1], d[2], d[3], d[4], d[5]});
      const std::uint32_t words[] = {T5577ConfigEm4100, f[0], f[1]};
      return chip.WriteLayout(words, d[0] != 0) ? Ok() : Fail();
    }
    case 0x20D: {
      if (n != 3) return Fail();
      const auto f = HidFrame(d[0], static_cast<std::uint16_t>(d[1] << 8 | d[2]));
      const std::uint32_t words[] = {T5577ConfigFsk, f[0], f[1], f[2]};
      return chip.WriteLayout(words, false) ? Ok() : Fail();
    }
    default: return Fail();
  }
}

// 0x301-0x30C on the EM4305 on the reader.
Outcome ExecuteEm4305(Tag* tag, const Request& r) {
  Em4305Chip* chip = tag && tag->em4305 ? &*tag->em4305 : nullptr;
  if (!chip) return Fail();
  const Bytes& d = r.data;
  const std::size_t n = d.size();
  switch (r.code) {
    case 0x301: return n == 5 && chip->WriteWord(d[0], LittleEndian32(&d[1])) ? Ok() : Fail();
    case 0x302: {
      const auto w = n == 1 ? chip->ReadWord(d[0]) : std::nullopt;
      if (!w) return Fail();
      Bytes out;
      PutLittleEndian(out, *w);
      return Ok(std::move(out));
    }
    case 0x303: return n == 4 && chip->Login(LittleEndian32(&d[0])) ? Ok() : Fail();
    case 0x304: return n == 4 && chip->Protect(LittleEndian32(&d[0])) ? Ok() : Fail();
    case 0x305: return n == 0 && chip->Disable() ? Ok() : Fail();
    case 0x30B: {
      const auto id = n == 12 ? FdxbFromRecord(d) : std::nullopt;
      if (!id) return Fail();
      const auto f = FdxbFrame(*id);
      return chip->WriteLayout(Em4305ConfigFdxb, Reversed(f), false) ? Ok() : Fail();
    }
    case 0x30C: {
      if (n != 6) return Fail();
      const auto f = Em4100Frame({d[1], d[2], d[3], d[4], d[5]});
      return chip->WriteLayout(Em4305ConfigEm4100, Reversed(f), d[0] != 0) ? Ok() : Fail();
    }
    default: return Fail();
  }
}

}  // namespace

// 0x201-0x20D on the T5577 on the reader. The block, page, wake and reset commands leave what
// the chip sent for the fetch (0x208) to hand out.
Outcome VirtualReader::Impl::ExecuteT5577(const Request& r) {
  if (r.code == 0x208) {
    if (fetch.empty()) return Fail();
    Bytes out;
    for (const auto w : fetch) PutBigEndian(out, w, 4);
    return Ok(std::move(out));
  }
  fetch.clear();
  Tag* tag = OnReader();
  T5577Chip* chip = tag && tag->t5577 ? &*tag->t5577 : nullptr;
  if (!chip) return Fail();
  if (r.code >= 0x20A) return WriteT5577Layout(*chip, r.code, r.data);
  const Bytes& d = r.data;
  const auto sized = [&d](std::size_t want) { return d.size() == want; };
  const auto modeOk = [&] {
    if (!strictReadMode) return true;
    const auto want = ModeSetting(counters.readMode);
    return want && want->first == chip->GetModulation() && want->second == chip->DataRate();
  };
  std::optional<std::uint32_t> one;
  std::optional<std::vector<std::uint32_t>> many;
  switch (r.code) {
    case 0x201:
      if (!sized(7) || !PageOf(d[0])) return Fail();
      one = chip->WriteBlock(*PageOf(d[0]), d[6], BigEndian32(&d[2]), d[1] != 0, std::nullopt);
      break;
    case 0x202:
      if (!sized(11) || !PageOf(d[0])) return Fail();
      one = chip->WriteBlock(*PageOf(d[0]), d[10], BigEndian32(&d[6]), d[5] != 0, BigEndian32(&d[1]));
      break;
    case 0x203:
      if (!sized(4) || !modeOk()) return Fail();
      many = chip->Wake(BigEndian32(&d[0]));
      break;
    case 0x204:
      if (!sized(2) || !PageOf(d[0]) || !modeOk()) return Fail();
      one = chip->ReadBlock(*PageOf(d[0]), d[1], std::nullopt);
      break;
    case 0x205:
      if (!sized(6) || !PageOf(d[0]) || !modeOk()) return Fail();
      one = chip->ReadBlock(*PageOf(d[0]), d[5], BigEndian32(&d[1]));
      break;
    case 0x206:
      if (!sized(1) || !PageOf(d[0]) || !modeOk()) return Fail();
      many = chip->ReadPage(*PageOf(d[0]));
      break;
    case 0x207:
      if (!sized(0)) return Fail();
      many = chip->Reset();
      break;
    default: return Fail();
  }
  if (one) fetch = {*one};
  if (many) fetch.assign(many->begin(), many->begin() + std::min<std::ptrdiff_t>(7, std::ssize(*many)));
  // A reset is done once the chip restarted, even when it then stays silent.
  return (one || many) ? Ok() : Fail();
}

// One handler per command family, by the code's range.
Outcome VirtualReader::Impl::Execute(const Request& r, SimClock::time_point now) {
  if (r.code >= 0x10A && r.code <= 0x10D) return ReadIdentity(OnReader(), r.code);
  if (r.code >= 0x102 && r.code <= 0x107) return ExecuteReaderCommand(r, now);
  if (r.code >= 0x201 && r.code <= 0x20D) return ExecuteT5577(r);
  if (r.code >= 0x301 && r.code <= 0x30C) return ExecuteEm4305(OnReader(), r);
  return Fail();  // a command this reader does not know
}

}  // namespace rivelo::sim
