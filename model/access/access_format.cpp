#include "model/access/access_format.h"

#include <charconv>

#include "model/access/access_bits.h"
#include "model/access/awid.h"
#include "model/access/em4100_rates.h"
#include "model/access/hid_facility16.h"
#include "model/access/hid_prox.h"
#include "model/access/ioprox.h"
#include "model/access/jablotron.h"
#include "model/access/keri.h"
#include "model/access/noralsy.h"
#include "model/access/pac.h"
#include "model/access/presco.h"
#include "model/access/pyramid.h"
#include "model/access/viking.h"
#include "model/access/visa2000.h"

namespace rivelo::access {

const std::vector<const AccessFormat*>& AccessFormats() {
  static const std::vector<const AccessFormat*> formats = {
      &HidH10301(), &HidCorporate1000(), &HidH10304(),  &HidH10306(),  &Awid26(),     &IoProx(),
      &Viking(),    &Jablotron(),        &Pyramid26(),  &Keri(),       &Noralsy(),    &Presco(),
      &PacStanley(), &Visa2000(),        &Em4100Rf64(), &Em4100Rf32(), &Em4100Rf16(), &Hid36Oem(),
  };
  return formats;
}

const AccessFormat* FindAccessFormat(std::string_view name) {
  for (const AccessFormat* f : AccessFormats()) {
    if (name == f->name) return f;
  }
  return nullptr;
}

bool InRange(const AccessFormat& format, const AccessValues& values) {
  if (values.size() != format.fields.size()) return false;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] < format.fields[i].min || values[i] > format.fields[i].max) return false;
  }
  return true;
}

std::optional<BlockImage> Encode(const AccessFormat& format, const AccessValues& values) {
  if (!InRange(format, values)) return std::nullopt;
  return BlockImage{format.block0, format.encode(values)};
}

std::optional<AccessValues> Decode(const AccessFormat& format, const BlockImage& image) {
  if ((image.block0 & ~Block0ProtectionBits) != format.block0 || image.data.size() != format.dataBlocks) return std::nullopt;
  auto values = format.decode(image.data);
  if (values && !InRange(format, *values)) return std::nullopt;
  return values;
}

std::string Text(const AccessFormat& format, const AccessValues& values) {
  std::string text;
  for (std::size_t i = 0; i < values.size() && i < format.fields.size(); ++i) {
    if (i > 0) text += ':';
    const int digits = format.fields[i].hexDigits;
    char buf[24];
    const auto end = std::to_chars(buf, buf + sizeof buf, values[i], digits > 0 ? 16 : 10).ptr;
    std::string part(buf, end);
    if (digits > 0) {
      for (char& c : part) c = (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
      if (part.size() < static_cast<std::size_t>(digits)) part.insert(0, static_cast<std::size_t>(digits) - part.size(), '0');
    }
    text += part;
  }
  return text;
}

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool Digit(char c, bool hex) {
  return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

}  // namespace

AccessParse ParseLine(const AccessFormat& format, std::string_view line) {
  while (!line.empty() && Blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && Blank(line.back())) line.remove_suffix(1);
  AccessValues values;
  for (std::size_t i = 0; i < format.fields.size(); ++i) {
    const AccessField& field = format.fields[i];
    const bool hex = field.hexDigits > 0;
    if (i > 0) {
      if (line.empty()) return {std::nullopt, LineError::PartLine, i};
      if (line.front() != ':') return {std::nullopt, LineError::TrailingText, i};
      line.remove_prefix(1);
    }
    std::size_t n = 0;
    while (n < line.size() && Digit(line[n], hex)) ++n;
    if (n == 0) {
      const bool negative = !line.empty() && line.front() == '-';
      return {std::nullopt, negative ? LineError::Negative : LineError::NotANumber, i};
    }
    std::uint64_t v = 0;
    const auto [end, ec] = std::from_chars(line.data(), line.data() + n, v, hex ? 16 : 10);
    if (hex && n < static_cast<std::size_t>(field.hexDigits)) return {std::nullopt, LineError::PartLine, i};
    const bool tooWide = hex && n > static_cast<std::size_t>(field.hexDigits);
    if (ec != std::errc() || end != line.data() + n || v < field.min || v > field.max || tooWide) {
      return {std::nullopt, LineError::TooLarge, i};
    }
    values.push_back(v);
    line.remove_prefix(n);
  }
  if (!line.empty()) return {std::nullopt, LineError::TrailingText, format.fields.size()};
  return {std::move(values), LineError::None, 0};
}

std::optional<AccessValues> Increment(const AccessFormat& format, const AccessValues& values) {
  if (!InRange(format, values) || values.empty()) return std::nullopt;
  AccessValues next = values;
  if (next.back() >= format.fields.back().max) return std::nullopt;
  ++next.back();
  return next;
}

}  // namespace rivelo::access
