// Request frame building and reply checking for one exchange with the reader.
//
// Request: AA DD, length (n + 3, big-endian), command (big-endian), n data bytes, XOR checksum
// of command and data. Reply: AA DD, length (p + 4), command echo, status, p payload bytes,
// XOR checksum of command, status and payload. After the header every 0xAA on the wire is
// followed by one stuffing byte.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace rivelo {

constexpr std::size_t FrameBufferSize = 1024;

// Why the last exchange brought no usable reply.
enum class ReplyFailure {
  None,
  Silent,       // not a byte came back
  Truncated,    // fewer bytes than the reply's length field announces
  BadChecksum,  // every byte announced, but the checksum is wrong
  Malformed,    // no frame header, stray bytes after the frame, or a payload the command cannot use
  PortFailed,   // the port itself failed (the device went away, a system error)
};
// The most data bytes whose worst-case stuffed request (2n + 12) fits the request buffer.
constexpr std::size_t MaxRequestData = 506;

class CMyData {
 public:
  // Builds the stuffed request. More than MaxRequestData data bytes builds an empty request,
  // which the port never sends as a frame (no command needs more than 12).
  CMyData(std::uint16_t command, std::span<const std::uint8_t> data);
  explicit CMyData(std::uint16_t command) : CMyData(command, {}) {}
  virtual ~CMyData() = default;

  std::span<const std::uint8_t> Request() const { return {request_.data(), static_cast<std::size_t>(requestLength_)}; }
  int RequestLength() const { return requestLength_; }

  // Where the port puts the raw reply, and how many bytes it received.
  std::span<std::uint8_t> RawReplyBuffer() { return rawReply_; }
  int* RawReplyLength() { return &rawReplyLength_; }
  // For tests: as if these bytes had been received.
  void SetRawReply(std::span<const std::uint8_t> raw);

  // Unstuffs the raw reply and checks it: the XOR over command, status, payload and checksum
  // is 0, it holds at least length, command, status and checksum, it holds every payload
  // byte its length field announces, and that announced frame's own checksum is right.
  // Must be called before GetStatus and GetPayload.
  int IsReplyValid();
  // Why the last IsReplyValid refused the reply (None when it was valid).
  ReplyFailure Failure() const { return failure_; }
  // The status byte; 0xFF (failure) when the reply was not valid.
  std::uint8_t GetStatus() const;
  // The announced payload length p (0 when not valid or the length field is 4 or less).
  int PayloadLength() const;
  // Copies min(p, dest.size()) payload bytes into dest and returns p.
  int GetPayload(std::span<std::uint8_t> dest) const;
  std::span<const std::uint8_t> Payload() const;

 private:
  std::array<std::uint8_t, FrameBufferSize> request_{};
  int requestLength_ = 0;
  std::array<std::uint8_t, FrameBufferSize> rawReply_{};
  int rawReplyLength_ = 0;
  std::array<std::uint8_t, FrameBufferSize> reply_{};
  int replyLength_ = 0;  // unstuffed bytes from raw position 2 on
  bool IsValid(int rawLength);  // unstuffs into reply_ and checks

  bool valid_ = false;
  ReplyFailure failure_ = ReplyFailure::None;
};

}  // namespace rivelo
