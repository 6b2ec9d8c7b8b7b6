// The two ends of a linked pair of COM ports, taken from RIVELO_TEST_COM_PAIR ("COM6,COM7").
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace rivelo::test {

inline std::optional<std::pair<std::string, std::string>> ComPair() {
  const char* value = std::getenv("RIVELO_TEST_COM_PAIR");
  if (!value) return std::nullopt;
  const std::string s = value;
  const auto comma = s.find(',');
  if (comma == std::string::npos || comma == 0 || comma + 1 == s.size()) return std::nullopt;
  return std::make_pair(s.substr(0, comma), s.substr(comma + 1));
}

}  // namespace rivelo::test
