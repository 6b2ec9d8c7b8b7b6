#include "sim/tag.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace rivelo::sim {
namespace {

std::vector<std::string_view> Split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  for (;;) {
    const auto at = s.find(sep);
    parts.push_back(s.substr(0, at));
    if (at == std::string_view::npos) return parts;
    s.remove_prefix(at + 1);
  }
}

template <typename T>
bool ParseNumber(std::string_view text, int base, T max, T* out) {
  if (text.empty()) return false;
  unsigned long long v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (ec != std::errc() || end != text.data() + text.size() || v > max) return false;
  *out = static_cast<T>(v);
  return true;
}

bool ParseHexBytes(std::string_view text, std::size_t count, std::uint8_t* out) {
  if (text.size() != 2 * count) return false;
  for (std::size_t i = 0; i < count; ++i)
    if (!ParseNumber<std::uint8_t>(text.substr(2 * i, 2), 16, 0xFF, &out[i])) return false;
  return true;
}

std::string Hex(const std::uint8_t* bytes, std::size_t n) {
  std::string s;
  char buf[3];
  for (std::size_t i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
    s += buf;
  }
  return s;
}

// A serial number that differs between tags and repeats between runs.
std::uint32_t Serial(int id) {
  std::uint32_t x = static_cast<std::uint32_t>(id) * 0x9E3779B1u + 0x7F4A7C15u;
  x ^= x >> 15;
  x *= 0x2C1B3C6Du;
  x ^= x >> 12;
  return x;
}

std::optional<Tag> Fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return std::nullopt;
}

std::optional<Tag> MakeWritable(TagKind kind, const std::vector<std::string_view>& opts, int id,
                                std::string* error) {
  std::optional<std::uint32_t> pwd, uid;
  bool aor = false;
  for (std::size_t i = 1; i < opts.size(); ++i) {
    const auto o = opts[i];
    std::uint32_t v = 0;
    if (o.starts_with("pwd=") && o.size() == 12 && ParseNumber<std::uint32_t>(o.substr(4), 16, 0xFFFFFFFFu, &v)) {
      pwd = v;
    } else if (kind == TagKind::Em4305 && o.starts_with("uid=") && o.size() == 12 &&
               ParseNumber<std::uint32_t>(o.substr(4), 16, 0xFFFFFFFFu, &v)) {
      uid = v;
    } else if (kind == TagKind::T5577 && o == "aor") {
      aor = true;
    } else {
      return Fail(error, "unknown option '" + std::string(o) + "'");
    }
  }
  Tag t;
  t.id = id;
  t.kind = kind;
  if (kind == TagKind::T5577) {
    t.t5577.emplace(Serial(id));
    if (pwd) {
      t.t5577->SetRaw(7, *pwd);
      t.t5577->SetRaw(0, t.t5577->Config() | 0x10);
    }
    if (aor) t.t5577->SetRaw(0, t.t5577->Config() | 0x200);
  } else {
    t.em4305.emplace(uid.value_or(Serial(id)), pwd.value_or(0));
  }
  return t;
}

}  // namespace

std::optional<Tag> MakeTag(std::string_view text, int id, std::string* error) {
  const auto parts = Split(text, ':');
  const auto kind = parts[0];
  if (kind == "t5577") return MakeWritable(TagKind::T5577, parts, id, error);
  if (kind == "em4305") return MakeWritable(TagKind::Em4305, parts, id, error);
  Tag t;
  t.id = id;
  if (kind == "em4100" || kind == "fdxa") {
    std::array<std::uint8_t, 5> bytes{};
    if (parts.size() != 2 || !ParseHexBytes(parts[1], 5, bytes.data()))
      return Fail(error, "expected " + std::string(kind) + ":HEX10");
    if (kind == "em4100") {
      const auto f = Em4100Frame(bytes);
      t.kind = TagKind::Em4100;
      t.fixed = {Modulation::Manchester, 64, {f.begin(), f.end()}};
    } else {
      for (const auto b : bytes)
        if (b > 0x7F) return Fail(error, "FDX-A bytes are 00-7F");
      const auto f = FdxaFrame(bytes);
      t.kind = TagKind::Fdxa;
      t.fixed = {Modulation::Fsk2a, 50, {f.begin(), f.end()}};
    }
    return t;
  }
  if (kind == "fdxb") {
    FdxbIdentity fid;
    fid.animal = true;
    if (parts.size() != 3 || !ParseNumber<std::uint16_t>(parts[1], 10, FdxbMaxCountry, &fid.country) ||
        !ParseNumber<std::uint64_t>(parts[2], 10, FdxbMaxNational, &fid.national))
      return Fail(error, "expected fdxb:COUNTRY:NATIONAL (0-1023, 0-274877906943)");
    const auto f = FdxbFrame(fid);
    t.kind = TagKind::Fdxb;
    t.fixed = {Modulation::Biphase, 32, {f.begin(), f.end()}};
    return t;
  }
  if (kind == "hid") {
    std::uint8_t fc = 0;
    std::uint16_t cn = 0;
    if (parts.size() != 3 || !ParseNumber<std::uint8_t>(parts[1], 10, 255, &fc) ||
        !ParseNumber<std::uint16_t>(parts[2], 10, 65535, &cn))
      return Fail(error, "expected hid:FC:CN (0-255, 0-65535)");
    const auto f = HidFrame(fc, cn);
    t.kind = TagKind::Hid;
    t.fixed = {Modulation::Fsk2a, 50, {f.begin(), f.end()}};
    return t;
  }
  return Fail(error, "unknown tag kind '" + std::string(kind) +
                         "' (t5577, em4305, em4100, fdxb, fdxa, hid)");
}

std::optional<Emission> Tag::Emit() const {
  if (t5577) return t5577->Emit();
  if (em4305) return em4305->Emit();
  return fixed;
}

void Tag::FieldOff() {
  if (t5577) t5577->FieldOff();
  if (em4305) em4305->FieldOff();
}

std::string Tag::KindName() const {
  switch (kind) {
    case TagKind::T5577: return "t5577";
    case TagKind::Em4305: return "em4305";
    case TagKind::Em4100: return "em4100";
    case TagKind::Fdxb: return "fdxb";
    case TagKind::Fdxa: return "fdxa";
    case TagKind::Hid: return "hid";
  }
  return "";
}

std::string Tag::Describe() const {
  const auto e = Emit();
  const std::string identity = e ? IdentityText(*e) : "";
  if (!t5577 && !em4305) return identity;
  std::string s = t5577 ? "T5577" : "EM4305";
  if (t5577 && t5577->PasswordMode()) s += " (password)";
  if (em4305) {
    char uid[16];
    std::snprintf(uid, sizeof uid, " UID %08X", em4305->Raw(1));
    s += uid;
  }
  return s + (identity.empty() ? " (no identity)" : " " + identity);
}

std::optional<Em4100Id> ReadEm4100(const Emission& e) {
  if (e.modulation != Modulation::Manchester || e.rate != 64) return std::nullopt;
  return DecodeEm4100(e.words);
}

std::optional<FdxbIdentity> ReadFdxb(const Emission& e) {
  if (e.modulation != Modulation::Biphase || e.rate != 32) return std::nullopt;
  return DecodeFdxb(e.words);
}

std::optional<HidCard> ReadHid(const Emission& e) {
  if (e.modulation != Modulation::Fsk2a || e.rate != 50) return std::nullopt;
  return DecodeHid(e.words);
}

std::optional<FdxaId> ReadFdxa(const Emission& e) {
  if (e.modulation != Modulation::Fsk2a || e.rate != 50) return std::nullopt;
  return DecodeFdxa(e.words);
}

std::string IdentityText(const Emission& e) {
  char buf[64];
  if (const auto id = ReadEm4100(e)) return "EM4100 " + Hex(id->data(), id->size());
  if (const auto id = ReadFdxa(e)) return "FDX-A " + Hex(id->data(), id->size());
  if (const auto c = ReadHid(e)) {
    std::snprintf(buf, sizeof buf, "HID %u:%u", unsigned{c->facility}, unsigned{c->card});
    return buf;
  }
  if (const auto f = ReadFdxb(e)) {
    std::snprintf(buf, sizeof buf, "FDX-B %03u-%012llu", unsigned{f->country},
                  static_cast<unsigned long long>(f->national));
    return buf;
  }
  return "";
}

}  // namespace rivelo::sim
