#include "sim/tag.h"

#include <cstdio>
#include <vector>

#include "sim/tag_kinds.h"

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

std::string Hex(const std::uint8_t* bytes, std::size_t n) {
  std::string s;
  char buf[3];
  for (std::size_t i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
    s += buf;
  }
  return s;
}

}  // namespace

std::optional<Tag> MakeTag(std::string_view text, int id, std::string* error) {
  const auto items = Split(text, ':');
  if (const TagKindRow* row = FindTagKind(items[0])) return row->make(items, id, error);
  if (error) *error = "unknown tag kind '" + std::string(items[0]) + "' (" + TagKindNames() + ")";
  return std::nullopt;
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

std::string Tag::KindName() const { return TagKindOf(kind).name; }

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
