// A small JSON reader for the files this program writes itself (tag backups): objects, arrays,
// strings, numbers, true, false and null, nested at most 16 deep.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rivelo {

struct JsonMember;

struct JsonValue {
  enum Type { Null, Bool, Number, String, Array, Object } type = Null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<JsonValue> items;                           // an array's
  std::vector<JsonMember> members;  // an object's, in file order
  // An object's member of that name, or null.
  const JsonValue* Member(const std::string& name) const;
};

// Named apart from std::pair, which may not hold a JsonValue before the type is complete.
struct JsonMember {
  std::string name;
  JsonValue value;
};

// The one value text holds (blanks around it allowed), or nullopt with where it went wrong.
std::optional<JsonValue> ParseJson(const std::string& text, std::string* error);

}  // namespace rivelo
