#include "model/fdxa.h"

namespace rivelo {

FdxaCode FdxaWritable(std::span<const std::uint8_t, FdxaLength> code) {
  FdxaCode out{};
  for (std::size_t i = 0; i < FdxaLength; ++i) out[i] = static_cast<std::uint8_t>(code[i] & 0x7F);
  return out;
}

}  // namespace rivelo
