#include "batch/t5577_image.h"

namespace rivelo {

TagBytes4 BlockBytes(std::uint32_t block) {
  return {static_cast<std::uint8_t>(block >> 24), static_cast<std::uint8_t>(block >> 16),
          static_cast<std::uint8_t>(block >> 8), static_cast<std::uint8_t>(block)};
}

std::uint32_t BlockWord(const TagBytes4& bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

namespace {

// An image is a dozen exchanges or more: one damaged reply should cost that block's exchange
// again, not the whole image. Only a reply that did not arrive whole is asked again: the same
// block written or read once more changes nothing, while the chip's own refusal stands.
constexpr int BlockAttempts = 5;

template <typename Op>
TagData Attempts(Op op) {
  TagData d = op();
  for (int k = 1; k < BlockAttempts && d.result.outcome == TagOutcome::NoReply; ++k) d = op();
  return d;
}

}  // namespace

TagResult WriteT5577Image(const T5577Image& image, const std::optional<TagBytes4>& password) {
  const auto write = [&password](int block, std::uint32_t value) {
    return Attempts([&] { return WriteT5577Block(0, block, false, BlockBytes(value), password); }).result;
  };
  for (std::size_t i = 0; i < image.data.size(); ++i)
    if (const TagResult r = write(static_cast<int>(i + 1), image.data[i]); !r.ok()) return r;
  return write(0, image.block0);
}

T5577ImageRead ReadT5577Image(std::size_t dataBlocks, const std::optional<TagBytes4>& password) {
  T5577Image image;
  for (std::size_t block = 0; block <= dataBlocks; ++block) {
    const TagData d = Attempts([&] { return ReadT5577Block(0, static_cast<int>(block), password); });
    if (!d.result.ok() || !d.value) return {d.result, std::nullopt};
    if (block == 0) {
      image.block0 = BlockWord(*d.value);
    } else {
      image.data.push_back(BlockWord(*d.value));
    }
  }
  return {TagResult{}, image};
}

}  // namespace rivelo
