#include "batch/t5577_image.h"

namespace rivelo {

TagBytes4 BlockBytes(std::uint32_t block) {
  return {static_cast<std::uint8_t>(block >> 24), static_cast<std::uint8_t>(block >> 16),
          static_cast<std::uint8_t>(block >> 8), static_cast<std::uint8_t>(block)};
}

std::uint32_t BlockWord(const TagBytes4& bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

TagResult WriteT5577Image(const T5577Image& image, const std::optional<TagBytes4>& password) {
  for (std::size_t i = 0; i < image.data.size(); ++i) {
    const TagData d = WriteT5577Block(0, static_cast<int>(i + 1), false, BlockBytes(image.data[i]), password);
    if (!d.result.ok()) return d.result;
  }
  return WriteT5577Block(0, 0, false, BlockBytes(image.block0), password).result;
}

T5577ImageRead ReadT5577Image(std::size_t dataBlocks, const std::optional<TagBytes4>& password) {
  T5577Image image;
  for (std::size_t block = 0; block <= dataBlocks; ++block) {
    const TagData d = ReadT5577Block(0, static_cast<int>(block), password);
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
