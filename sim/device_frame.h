// The device's side of the line protocol: requests in, replies out. Kept apart from the
// host's codec on purpose, so that a mistake on one side is not mirrored on the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rivelo::sim {

constexpr std::uint8_t FrameHead0 = 0xAA;
constexpr std::uint8_t FrameHead1 = 0xDD;
// The largest length field we accept: the host's buffers hold 1024 bytes.
constexpr std::size_t MaxFrameLength = 1021;

struct Request {
  std::uint16_t code = 0;
  std::vector<std::uint8_t> data;
  bool checksumOk = false;
};

// Parses one stuffed request frame from its header on. nullopt when the bytes do not hold a
// whole frame (wrong header, length field out of range, too few bytes). A frame whose
// checksum is wrong is returned with checksumOk false.
std::optional<Request> ParseRequest(std::span<const std::uint8_t> raw);

// The stuffed reply frame. corruptChecksum flips the checksum (a fault the tests inject).
std::vector<std::uint8_t> BuildReply(std::uint16_t code, std::uint8_t status,
                                     std::span<const std::uint8_t> payload,
                                     bool corruptChecksum = false);

// Cuts request frames out of a byte stream as they arrive: bytes before a header are
// dropped; a frame is complete when its length field says so (stuffed bytes included).
class RequestAssembler {
 public:
  // Appends bytes and returns the frames they complete, each as its raw stuffed bytes.
  std::vector<std::vector<std::uint8_t>> Push(std::span<const std::uint8_t> bytes);
  // Forgets a partial frame (after a pause on the line: the host gave up on it).
  void Reset() { buf_.clear(); }
  bool Pending() const { return !buf_.empty(); }

 private:
  // Raw size of the frame at the start of buf_: 0 incomplete, SIZE_MAX not a frame.
  std::size_t FrameSize() const;
  std::vector<std::uint8_t> buf_;
};

}  // namespace rivelo::sim
