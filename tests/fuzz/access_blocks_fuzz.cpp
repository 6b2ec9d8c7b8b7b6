// The block decoders of the access-control formats on any blocks a tag can hand back, and
// their line parser on any line. A decoder either refuses an image or names an identity in
// range whose own image is exactly the one read, so a verified write can trust a decode, and
// the virtual reader's own decoders (written apart from the host's) see a card in it too; a
// parsed line reads back from its own text.
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/access/access_format.h"
#include "sim/access_decoders.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rivelo::access;

namespace {

void CheckImage(const AccessFormat& format, const BlockImage& image) {
  const auto values = Decode(format, image);
  if (!values) return;
  FUZZ_CHECK(InRange(format, *values));
  BlockImage plain = image;
  plain.block0 &= ~0x210u;
  FUZZ_CHECK(Encode(format, *values) == plain);
  FUZZ_CHECK(!rivelo::sim::DecodeAccessBlocks(image.block0, image.data).empty());
}

void CheckLine(const AccessFormat& format, std::string_view line) {
  const AccessParse parsed = ParseLine(format, line);
  FUZZ_CHECK(parsed.values.has_value() == (parsed.error == rivelo::LineError::None));
  if (!parsed.values) return;
  FUZZ_CHECK(InRange(format, *parsed.values));
  FUZZ_CHECK(ParseLine(format, Text(format, *parsed.values)).values == parsed.values);
  const auto next = Increment(format, *parsed.values);
  if (next) FUZZ_CHECK(InRange(format, *next) && *next != *parsed.values);
}

}  // namespace

// The input as big-endian words: block 0, then the data blocks.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint32_t> words;
  for (std::size_t at = 0; at + 4 <= size; at += 4) {
    words.push_back(std::uint32_t{data[at]} << 24 | std::uint32_t{data[at + 1]} << 16 |
                    std::uint32_t{data[at + 2]} << 8 | data[at + 3]);
  }
  for (const AccessFormat* format : AccessFormats()) {
    if (!words.empty()) {
      BlockImage image{words[0], {words.begin() + 1, words.end()}};
      CheckImage(*format, image);
      image.block0 = format->block0;  // the data blocks under the format's own block 0
      if (image.data.size() > format->dataBlocks) image.data.resize(format->dataBlocks);
      CheckImage(*format, image);
    }
    CheckLine(*format, std::string_view(reinterpret_cast<const char*>(data), size));
  }
  return 0;
}
