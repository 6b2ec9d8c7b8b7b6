// A T5577 block image (block 0 and data blocks 1..n) written and read through the reader's
// block commands, for formats the reader has no write command of its own for and for chips
// that carry a password. The data blocks go first and block 0 last: until block 0 changes, the
// chip keeps sending what it sent before, so a write cut short never leaves a half-new signal
// on a tag configured to send it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "batch/tag_operations.h"

namespace rivelo {

struct T5577Image {
  std::uint32_t block0 = 0;
  std::vector<std::uint32_t> data;  // blocks 1..n
  bool operator==(const T5577Image&) const = default;
};

TagBytes4 BlockBytes(std::uint32_t block);
std::uint32_t BlockWord(const TagBytes4& bytes);

// Writes the data blocks in order, then block 0, each fetched back (WriteT5577Block): the
// result of the first block that does not count, or Done. With a password the password write
// (0x202) is used for every block. A block without a valid reply is tried up to five times,
// here and in the read.
TagResult WriteT5577Image(const T5577Image& image, const std::optional<TagBytes4>& password);

// Reads block 0 and data blocks 1..dataBlocks of page 0: the image, or the result of the first
// block that could not be read.
struct T5577ImageRead {
  TagResult result;
  std::optional<T5577Image> image;
};
T5577ImageRead ReadT5577Image(std::size_t dataBlocks, const std::optional<TagBytes4>& password);

}  // namespace rivelo
