#include "cli/json_lines.h"

#include <cstdio>
#include <ctime>

namespace rivelo::cli {
namespace {

// The length of the well-formed UTF-8 sequence at s[i], or 0.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = byte(i);
  std::size_t n = 0;
  if (c >= 0xC2 && c <= 0xDF) n = 2;
  else if (c >= 0xE0 && c <= 0xEF) n = 3;
  else if (c >= 0xF0 && c <= 0xF4) n = 4;
  else return 0;
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  // Overlong forms, surrogates and code points past U+10FFFF.
  if (c == 0xE0 && byte(i + 1) < 0xA0) return 0;
  if (c == 0xED && byte(i + 1) > 0x9F) return 0;
  if (c == 0xF0 && byte(i + 1) < 0x90) return 0;
  if (c == 0xF4 && byte(i + 1) > 0x8F) return 0;
  return n;
}

}  // namespace

std::string JsonString(std::string_view s) {
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      const std::size_t n = Utf8Length(s, i);
      if (n > 0) {
        out.append(s.substr(i, n));
        i += n;
      } else {
        // A byte that is no UTF-8 stands for itself as a Latin-1 character.
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", c);
        out += buf;
        ++i;
      }
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
    ++i;
  }
  return out + "\"";
}

std::string IsoLocalTime(std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() % 1000;
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
  std::tm asUtc = local;
  const long long offset = static_cast<long long>(_mkgmtime(&asUtc)) - static_cast<long long>(t);
#else
  localtime_r(&t, &local);
  std::tm asUtc = local;
  const long long offset = static_cast<long long>(timegm(&asUtc)) - static_cast<long long>(t);
#endif
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  const long long minutes = (offset < 0 ? -offset : offset) / 60;
  char text[64];
  std::snprintf(text, sizeof text, "%s.%03d%c%02lld:%02lld", date, static_cast<int>(ms < 0 ? ms + 1000 : ms),
                offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return text;
}

void JsonObject::Key(std::string_view key) {
  if (!body_.empty()) body_ += ',';
  body_ += JsonString(key) + ':';
}

JsonObject& JsonObject::Number(std::string_view key, long long value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::Text(std::string_view key, std::string_view value) {
  Key(key);
  body_ += JsonString(value);
  return *this;
}

JsonObject& JsonObject::Null(std::string_view key) {
  Key(key);
  body_ += "null";
  return *this;
}

JsonObject& JsonObject::Bool(std::string_view key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::Raw(std::string_view key, std::string_view json) {
  Key(key);
  body_ += json;
  return *this;
}

std::string TagJson(const IdentityFormat& format, const ListedTag& tag, std::chrono::system_clock::time_point when,
                    const std::vector<std::pair<std::string, std::string>>& members) {
  JsonObject forms;
  for (const auto& [key, text] : format.fields(tag.id)) forms.Text(key, text);
  JsonObject object;
  object.Number("number", tag.number).Text("format", format.name).Raw("id", forms.Str());
  for (const auto& [key, text] : members) object.Text(key, text);
  if (tag.chip) object.Text("chip", tag.chip);
  else object.Null("chip");
  // A written tag's chip serial, for records that outlive the identity; null when not read.
  if (tag.chip && !tag.chipSerial.empty()) object.Text("chip_serial", tag.chipSerial);
  else if (tag.chip) object.Null("chip_serial");
  if (tag.protectedTag) object.Bool("protected", true);  // never the password itself
  return object.Text("time", IsoLocalTime(when)).Str();
}

}  // namespace rivelo::cli
