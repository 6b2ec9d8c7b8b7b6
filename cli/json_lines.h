// The one-object-per-line JSON that rivelo --json prints.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "batch/batch_view.h"
#include "model/identity.h"

namespace rivelo::cli {

// s as a JSON string, quotes included; control characters and non-UTF-8 bytes escaped, so
// that any byte string gives valid JSON.
std::string JsonString(std::string_view s);

// ISO 8601 local time with milliseconds and the UTC offset: 2024-05-06T14:03:59.120+02:00.
std::string IsoLocalTime(std::chrono::system_clock::time_point when);

// A small builder for one flat object: {"a":1,"b":"x"}.
class JsonObject {
 public:
  JsonObject& Number(std::string_view key, long long value);
  JsonObject& Text(std::string_view key, std::string_view value);
  JsonObject& Null(std::string_view key);
  JsonObject& Bool(std::string_view key, bool value);
  // A value that is already JSON.
  JsonObject& Raw(std::string_view key, std::string_view json);
  std::string Str() const { return body_.empty() ? "{}" : "{" + body_ + "}"; }

 private:
  void Key(std::string_view key);
  std::string body_;
};

// One listed tag: {"number":3,"format":"em4100","id":{"10H":...},"chip":"EM4305","time":...}.
// The id object holds every form of the format, members follow it (an FDX-B tag's
// "countryName"); chip is null for reads.
std::string TagJson(const IdentityFormat& format, const ListedTag& tag, std::chrono::system_clock::time_point when,
                    const std::vector<std::pair<std::string, std::string>>& members = {});

}  // namespace rivelo::cli
