// What a reader hears from a tag in its field when it just listens: the repeated data
// words with their modulation and data rate.
#pragma once

#include <cstdint>
#include <vector>

namespace rivelo::sim {

enum class Modulation { Manchester, Biphase, Fsk2a, Other };

struct Emission {
  Modulation modulation = Modulation::Other;
  int rate = 0;                      // RF/n
  std::vector<std::uint32_t> words;  // first transmitted bit = top bit of words[0]
};

}  // namespace rivelo::sim
