#include "sim/tag_kinds.h"

#include <array>
#include <charconv>

namespace rivelo::sim {
namespace {

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

std::string Expected(TagKind kind) {
  const TagKindRow& row = TagKindOf(kind);
  return "expected " + std::string(row.name) + row.parameters;
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

std::optional<Tag> MakeT5577(const std::vector<std::string_view>& items, int id, std::string* error) {
  return MakeWritable(TagKind::T5577, items, id, error);
}

std::optional<Tag> MakeEm4305(const std::vector<std::string_view>& items, int id, std::string* error) {
  return MakeWritable(TagKind::Em4305, items, id, error);
}

// A read-only tag: the frame it sends, which only this virtual reader's own encoders make.
std::optional<Tag> Fixed(TagKind kind, int id, Emission e) {
  Tag t;
  t.id = id;
  t.kind = kind;
  t.fixed = std::move(e);
  return t;
}

std::optional<Tag> MakeEm4100(const std::vector<std::string_view>& items, int id, std::string* error) {
  std::array<std::uint8_t, 5> bytes{};
  if (items.size() != 2 || !ParseHexBytes(items[1], 5, bytes.data())) return Fail(error, Expected(TagKind::Em4100));
  const auto f = Em4100Frame(bytes);
  return Fixed(TagKind::Em4100, id, {Modulation::Manchester, 64, {f.begin(), f.end()}});
}

std::optional<Tag> MakeFdxa(const std::vector<std::string_view>& items, int id, std::string* error) {
  std::array<std::uint8_t, 5> bytes{};
  if (items.size() != 2 || !ParseHexBytes(items[1], 5, bytes.data())) return Fail(error, Expected(TagKind::Fdxa));
  for (const auto b : bytes)
    if (b > 0x7F) return Fail(error, "FDX-A bytes are 00-7F");
  const auto f = FdxaFrame(bytes);
  return Fixed(TagKind::Fdxa, id, {Modulation::Fsk2a, 50, {f.begin(), f.end()}});
}

std::optional<Tag> MakeFdxb(const std::vector<std::string_view>& items, int id, std::string* error) {
  FdxbIdentity fid;
  fid.animal = true;
  if (items.size() != 3 || !ParseNumber<std::uint16_t>(items[1], 10, FdxbMaxCountry, &fid.country) ||
      !ParseNumber<std::uint64_t>(items[2], 10, FdxbMaxNational, &fid.national))
    return Fail(error, Expected(TagKind::Fdxb) + " (0-1023, 0-274877906943)");
  const auto f = FdxbFrame(fid);
  return Fixed(TagKind::Fdxb, id, {Modulation::Biphase, 32, {f.begin(), f.end()}});
}

std::optional<Tag> MakeHid(const std::vector<std::string_view>& items, int id, std::string* error) {
  std::uint8_t fc = 0;
  std::uint16_t cn = 0;
  if (items.size() != 3 || !ParseNumber<std::uint8_t>(items[1], 10, 255, &fc) ||
      !ParseNumber<std::uint16_t>(items[2], 10, 65535, &cn))
    return Fail(error, Expected(TagKind::Hid) + " (0-255, 0-65535)");
  const auto f = HidFrame(fc, cn);
  return Fixed(TagKind::Hid, id, {Modulation::Fsk2a, 50, {f.begin(), f.end()}});
}

constexpr TagKindRow Rows[] = {
    {TagKind::T5577, "t5577", "[:pwd=HEX8][:aor]", "pwd=11223344:aor", true, MakeT5577},
    {TagKind::Em4305, "em4305", "[:pwd=HEX8][:uid=HEX8]", "pwd=11223344:uid=00C0FFEE", true, MakeEm4305},
    {TagKind::Em4100, "em4100", ":HEX10", "0123456789", false, MakeEm4100},
    {TagKind::Fdxb, "fdxb", ":COUNTRY:NATIONAL", "999:112233", false, MakeFdxb},
    {TagKind::Hid, "hid", ":FC:CN", "118:1603", false, MakeHid},
    {TagKind::Fdxa, "fdxa", ":HEX10", "1A2B3C4D5E", false, MakeFdxa},
};

}  // namespace

std::span<const TagKindRow> TagKinds() { return Rows; }

const TagKindRow* FindTagKind(std::string_view name) {
  for (const TagKindRow& row : Rows)
    if (name == row.name) return &row;
  return nullptr;
}

const TagKindRow& TagKindOf(TagKind kind) {
  for (const TagKindRow& row : Rows)
    if (row.kind == kind) return row;
  return Rows[0];  // every kind has its row
}

std::string TagKindSyntax() { return TagKindSyntax(0, std::string::npos); }

std::string TagKindSyntax(std::size_t indent, std::size_t width) {
  std::string text, line;
  for (std::size_t i = 0; i < std::size(Rows); ++i) {
    const std::string item = std::string(Rows[i].name) + Rows[i].parameters + (i + 1 < std::size(Rows) ? "," : "");
    if (!line.empty() && width != std::string::npos && indent + line.size() + 1 + item.size() > width) {
      text += line + "\n" + std::string(indent, ' ');
      line.clear();
    }
    line += (line.empty() ? "" : " ") + item;
  }
  return text + line;
}

std::string TagKindNames() {
  std::string text;
  for (const TagKindRow& row : Rows) text += (text.empty() ? "" : ", ") + std::string(row.name);
  return text;
}

}  // namespace rivelo::sim
