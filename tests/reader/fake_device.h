// A scripted serial device on a pseudo-terminal: records each request frame the host sends
// and answers it with the next scripted reply (raw wire bytes), or stays silent.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace rivelo::test {

using Bytes = std::vector<std::uint8_t>;

// Builds a reply frame as a device would put it on the wire (own code, not the host's).
Bytes WireReply(std::uint16_t command, std::uint8_t status, const Bytes& payload);
// The command code and the (unstuffed) data bytes of a request frame as it came off the wire.
std::uint16_t RequestCode(const Bytes& wire);
Bytes RequestData(const Bytes& wire);

class FakeDevice {
 public:
  FakeDevice();
  ~FakeDevice();
  const std::string& Path() const { return path_; }

  // The reply to the next request; nullopt: no answer at all.
  void Script(std::optional<Bytes> reply);
  // Every request frame received so far, as raw wire bytes.
  std::vector<Bytes> Requests();
  Bytes LastRequest();

 private:
  void Serve();
  int master_ = -1;
  int slave_ = -1;  // kept open so the master never sees a hang-up between host sessions
  std::string path_;
  std::mutex mutex_;
  std::deque<std::optional<Bytes>> script_;
  std::vector<Bytes> requests_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace rivelo::test
