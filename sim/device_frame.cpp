#include "sim/device_frame.h"

#include <algorithm>
#include <limits>

namespace rivelo::sim {
namespace {

constexpr std::size_t NotAFrame = std::numeric_limits<std::size_t>::max();

void PutStuffed(std::vector<std::uint8_t>& out, std::uint8_t b) {
  out.push_back(b);
  if (b == FrameHead0) out.push_back(0x00);
}

// Unstuffs the bytes after the header: every 0xAA swallows the byte that follows it.
// *consumed receives how many raw bytes produced `want` logical ones (0 if too few).
std::vector<std::uint8_t> Unstuff(std::span<const std::uint8_t> raw, std::size_t want,
                                  std::size_t* consumed) {
  std::vector<std::uint8_t> out;
  std::size_t i = 0;
  while (out.size() < want && i < raw.size()) {
    const std::uint8_t b = raw[i++];
    out.push_back(b);
    if (b == FrameHead0) {
      if (i >= raw.size()) {  // the stuffed byte has not arrived yet
        *consumed = 0;
        return out;
      }
      ++i;
    }
  }
  *consumed = out.size() == want ? i : 0;
  return out;
}

}  // namespace

std::optional<Request> ParseRequest(std::span<const std::uint8_t> raw) {
  if (raw.size() < 2 || raw[0] != FrameHead0 || raw[1] != FrameHead1) return std::nullopt;
  const auto body = raw.subspan(2);
  std::size_t used = 0;
  const auto len = Unstuff(body, 2, &used);
  if (used == 0) return std::nullopt;
  const std::size_t length = static_cast<std::size_t>(len[0]) << 8 | len[1];
  if (length < 3 || length > MaxFrameLength) return std::nullopt;
  const auto logical = Unstuff(body, 2 + length, &used);
  if (used == 0) return std::nullopt;
  Request r;
  r.code = static_cast<std::uint16_t>(logical[2] << 8 | logical[3]);
  r.data.assign(logical.begin() + 4, logical.end() - 1);
  std::uint8_t x = 0;
  for (std::size_t i = 2; i < logical.size(); ++i) x ^= logical[i];
  r.checksumOk = x == 0;
  return r;
}

std::vector<std::uint8_t> BuildReply(std::uint16_t code, std::uint8_t status,
                                     std::span<const std::uint8_t> payload, bool corruptChecksum) {
  const std::size_t length = payload.size() + 4;
  std::vector<std::uint8_t> out{FrameHead0, FrameHead1};
  out.reserve(2 * length + 6);
  PutStuffed(out, static_cast<std::uint8_t>(length >> 8));
  PutStuffed(out, static_cast<std::uint8_t>(length));
  const auto hi = static_cast<std::uint8_t>(code >> 8);
  const auto lo = static_cast<std::uint8_t>(code);
  std::uint8_t x = static_cast<std::uint8_t>(hi ^ lo ^ status);
  PutStuffed(out, hi);
  PutStuffed(out, lo);
  PutStuffed(out, status);
  for (const std::uint8_t b : payload) {
    x ^= b;
    PutStuffed(out, b);
  }
  PutStuffed(out, corruptChecksum ? static_cast<std::uint8_t>(x ^ 0x5A) : x);
  return out;
}

std::size_t RequestAssembler::FrameSize() const {
  if (buf_.size() < 2) return 0;
  if (buf_[0] != FrameHead0 || buf_[1] != FrameHead1) return NotAFrame;
  const auto body = std::span<const std::uint8_t>(buf_).subspan(2);
  std::size_t used = 0;
  const auto len = Unstuff(body, 2, &used);
  if (used == 0) return 0;
  const std::size_t length = static_cast<std::size_t>(len[0]) << 8 | len[1];
  if (length < 3 || length > MaxFrameLength) return NotAFrame;
  Unstuff(body, 2 + length, &used);
  return used == 0 ? 0 : 2 + used;
}

std::vector<std::vector<std::uint8_t>> RequestAssembler::Push(std::span<const std::uint8_t> bytes) {
  buf_.insert(buf_.end(), bytes.begin(), bytes.end());
  std::vector<std::vector<std::uint8_t>> frames;
  for (;;) {
    // Resynchronise on the next header; a lone 0xAA at the end may start one.
    auto head = buf_.begin();
    while (head != buf_.end()) {
      head = std::find(head, buf_.end(), FrameHead0);
      if (head == buf_.end() || head + 1 == buf_.end() || head[1] == FrameHead1) break;
      ++head;
    }
    buf_.erase(buf_.begin(), head);
    const std::size_t size = FrameSize();
    if (size == 0) break;
    if (size == NotAFrame) {
      buf_.erase(buf_.begin());  // a false header: look further
      continue;
    }
    frames.emplace_back(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(size));
    buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(size));
  }
  return frames;
}

}  // namespace rivelo::sim
