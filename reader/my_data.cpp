#include "reader/my_data.h"

#include <algorithm>

namespace rivelo {
namespace {

constexpr std::uint8_t Header0 = 0xAA;
constexpr std::uint8_t Header1 = 0xDD;
constexpr std::uint8_t StuffMark = 0xAA;

class Writer {
 public:
  explicit Writer(std::array<std::uint8_t, FrameBufferSize>& buf) : buf_(buf) {}
  void Raw(std::uint8_t b) { buf_[n_++] = b; }
  void Stuffed(std::uint8_t b) {
    Raw(b);
    if (b == StuffMark) Raw(0x00);
  }
  int Count() const { return static_cast<int>(n_); }

 private:
  std::array<std::uint8_t, FrameBufferSize>& buf_;
  std::size_t n_ = 0;
};

// Why a reply that IsReplyValid refused is no reply: raw is the reply as received, logical
// the unstuffed bytes from raw position 2 on.
ReplyFailure Classify(std::span<const std::uint8_t> raw, std::span<const std::uint8_t> logical) {
  if (raw.empty()) return ReplyFailure::Silent;
  if (raw.size() < 2 || raw[0] != Header0 || raw[1] != Header1) return ReplyFailure::Malformed;
  if (logical.size() < 6) return ReplyFailure::Truncated;
  const std::size_t length = static_cast<std::size_t>(logical[0] * 256 + logical[1]);
  if (length < 4) return ReplyFailure::Malformed;
  if (logical.size() < 2 + length) return ReplyFailure::Truncated;
  std::uint8_t x = 0;
  for (std::size_t i = 2; i < 2 + length; ++i) x ^= logical[i];
  // The announced frame checks out: what spoiled it came after it.
  if (x == 0 && logical.size() > 2 + length) return ReplyFailure::Malformed;
  return ReplyFailure::BadChecksum;
}

}  // namespace

CMyData::CMyData(std::uint16_t command, std::span<const std::uint8_t> data) {
  if (data.size() > MaxRequestData) return;
  Writer w(request_);
  w.Raw(Header0);
  w.Raw(Header1);
  const auto length = static_cast<std::uint16_t>(data.size() + 3);
  w.Stuffed(static_cast<std::uint8_t>(length >> 8));
  w.Stuffed(static_cast<std::uint8_t>(length & 0xFF));
  const auto hi = static_cast<std::uint8_t>(command >> 8);
  const auto lo = static_cast<std::uint8_t>(command & 0xFF);
  w.Stuffed(hi);
  w.Stuffed(lo);
  std::uint8_t sum = hi ^ lo;
  for (std::uint8_t b : data) {
    w.Stuffed(b);
    sum ^= b;
  }
  w.Stuffed(sum);
  requestLength_ = w.Count();
}

void CMyData::SetRawReply(std::span<const std::uint8_t> raw) {
  const std::size_t n = std::min(raw.size(), rawReply_.size());
  std::copy_n(raw.begin(), n, rawReply_.begin());
  rawReplyLength_ = static_cast<int>(n);
}

int CMyData::IsReplyValid() {
  const int rawLength = std::clamp(rawReplyLength_, 0, static_cast<int>(rawReply_.size()));
  valid_ = IsValid(rawLength);
  failure_ = valid_ ? ReplyFailure::None
                    : Classify({rawReply_.data(), static_cast<std::size_t>(rawLength)},
                               {reply_.data(), static_cast<std::size_t>(replyLength_)});
  return valid_ ? 1 : 0;
}

bool CMyData::IsValid(int rawLength) {
  std::size_t m = 0;
  for (int i = 2; i < rawLength; ++i) {
    const std::uint8_t b = rawReply_[static_cast<std::size_t>(i)];
    reply_[m++] = b;
    if (b == StuffMark) ++i;  // the byte after 0xAA is stuffing, whatever its value
  }
  replyLength_ = static_cast<int>(m);
  // Length (2), command (2), status (1) and checksum (1) must all have arrived.
  if (m < 6) return false;
  std::uint8_t x = 0;
  for (std::size_t i = 2; i < m; ++i) x ^= reply_[i];
  if (x != 0) return false;
  // A payload announced but not received is no reply: nothing unreceived is handed out.
  const int announced = reply_[0] * 256 + reply_[1] - 4;
  if (announced > static_cast<int>(m) - 6) return false;
  // Bytes behind the announced frame must not make up for its own checksum: a damaged frame
  // followed by line noise would otherwise pass whenever the noise cancels the damage.
  if (announced < 0) return true;
  x = 0;
  for (std::size_t i = 2; i < static_cast<std::size_t>(announced) + 6; ++i) x ^= reply_[i];
  return x == 0;
}

std::uint8_t CMyData::GetStatus() const { return valid_ ? reply_[4] : 0xFF; }

int CMyData::PayloadLength() const {
  if (!valid_) return 0;
  return std::max(reply_[0] * 256 + reply_[1] - 4, 0);
}

int CMyData::GetPayload(std::span<std::uint8_t> dest) const {
  const int p = PayloadLength();
  const std::size_t n = std::min(static_cast<std::size_t>(p), dest.size());
  std::copy_n(reply_.begin() + 5, n, dest.begin());
  return p;
}

std::span<const std::uint8_t> CMyData::Payload() const {
  return {reply_.data() + 5, static_cast<std::size_t>(PayloadLength())};
}

}  // namespace rivelo
