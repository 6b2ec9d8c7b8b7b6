// A device on a pseudo-terminal that answers every request with one fixed reply payload, or
// stays silent; it records the command codes it received.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace rivelo::test {

class FakeDevice {
 public:
  // answer: the payload of every reply (status 0); nullopt: never answers.
  explicit FakeDevice(std::optional<std::string> answer);
  ~FakeDevice();
  FakeDevice(const FakeDevice&) = delete;
  FakeDevice& operator=(const FakeDevice&) = delete;

  const std::string& Path() const { return path_; }
  // The command codes of the requests received so far, and the first data byte of each.
  std::vector<int> Commands() const;
  std::vector<int> FirstDataBytes() const;

 private:
  void Serve();

  std::optional<std::string> answer_;
  int master_ = -1;
  int slave_ = -1;  // kept open so that the line never hangs up between the host's opens
  std::string path_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<int> commands_;
  std::vector<int> firstData_;
  std::thread thread_;
};

}  // namespace rivelo::test
