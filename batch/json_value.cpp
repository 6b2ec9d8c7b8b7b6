#include "batch/json_value.h"

#include <cstdlib>

namespace rivelo {
namespace {

constexpr int MaxDepth = 16;

class Parser {
 public:
  explicit Parser(const std::string& text) : s_(text) {}

  std::optional<JsonValue> Whole(std::string* error) {
    JsonValue v;
    if (Value(v, 0) && (Blanks(), at_ == s_.size())) return v;
    if (error) *error = "unexpected text at byte " + std::to_string(at_ + 1);
    return std::nullopt;
  }

 private:
  void Blanks() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\r' || s_[at_] == '\t')) ++at_;
  }
  bool Take(char c) {
    Blanks();
    if (at_ < s_.size() && s_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool Word(const char* w) {
    const std::string word(w);
    if (s_.compare(at_, word.size(), word) != 0) return false;
    at_ += word.size();
    return true;
  }
  bool Str(std::string& out) {
    if (!Take('"')) return false;
    while (at_ < s_.size() && s_[at_] != '"') {
      char c = s_[at_++];
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c == '\\') {
        if (at_ >= s_.size()) return false;
        c = s_[at_++];
        if (c == 'n') c = '\n';
        else if (c == 't') c = '\t';
        else if (c == 'r') c = '\r';
        else if (c == 'u') {
          if (at_ + 4 > s_.size()) return false;
          c = static_cast<char>(std::strtol(s_.substr(at_, 4).c_str(), nullptr, 16));
          at_ += 4;
        } else if (c != '"' && c != '\\' && c != '/') {
          return false;
        }
      }
      out += c;
    }
    return at_ < s_.size() && s_[at_++] == '"';
  }
  bool Value(JsonValue& v, int depth) {
    if (depth > MaxDepth) return false;
    Blanks();
    if (at_ >= s_.size()) return false;
    const char c = s_[at_];
    if (c == '"') {
      v.type = JsonValue::String;
      return Str(v.text);
    }
    if (c == '[') {
      ++at_;
      v.type = JsonValue::Array;
      if (Take(']')) return true;
      do {
        v.items.emplace_back();
        if (!Value(v.items.back(), depth + 1)) return false;
      } while (Take(','));
      return Take(']');
    }
    if (c == '{') {
      ++at_;
      v.type = JsonValue::Object;
      if (Take('}')) return true;
      do {
        std::string name;
        JsonValue member;
        if (!Str(name) || !Take(':') || !Value(member, depth + 1)) return false;
        v.members.push_back(JsonMember{std::move(name), std::move(member)});
      } while (Take(','));
      return Take('}');
    }
    if (Word("null")) return true;
    if (Word("true") || Word("false")) {
      v.type = JsonValue::Bool;
      v.boolean = s_[at_ - 1] == 'e' && s_[at_ - 2] == 'u';
      return true;
    }
    const char* start = s_.c_str() + at_;
    char* end = nullptr;
    v.number = std::strtod(start, &end);
    if (end == start) return false;
    v.type = JsonValue::Number;
    at_ += static_cast<std::size_t>(end - start);
    return true;
  }

  const std::string& s_;
  std::size_t at_ = 0;
};

}  // namespace

const JsonValue* JsonValue::Member(const std::string& name) const {
  for (const auto& [key, value] : members)
    if (key == name) return &value;
  return nullptr;
}

std::optional<JsonValue> ParseJson(const std::string& text, std::string* error) { return Parser(text).Whole(error); }

}  // namespace rivelo
