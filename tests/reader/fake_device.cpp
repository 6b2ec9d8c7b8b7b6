#include "tests/reader/fake_device.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace rivelo::test {

Bytes WireReply(std::uint16_t command, std::uint8_t status, const Bytes& payload) {
  Bytes logical;
  const unsigned length = static_cast<unsigned>(payload.size()) + 4;
  logical.push_back(static_cast<std::uint8_t>(length >> 8));
  logical.push_back(static_cast<std::uint8_t>(length));
  logical.push_back(static_cast<std::uint8_t>(command >> 8));
  logical.push_back(static_cast<std::uint8_t>(command));
  logical.push_back(status);
  logical.insert(logical.end(), payload.begin(), payload.end());
  std::uint8_t sum = 0;
  for (std::size_t i = 2; i < logical.size(); ++i) sum ^= logical[i];
  logical.push_back(sum);
  Bytes wire{0xAA, 0xDD};
  for (std::uint8_t b : logical) {
    wire.push_back(b);
    if (b == 0xAA) wire.push_back(0x00);
  }
  return wire;
}

std::uint16_t RequestCode(const Bytes& wire) {
  return wire.size() < 6 ? 0 : static_cast<std::uint16_t>(wire[4] << 8 | wire[5]);
}

Bytes RequestData(const Bytes& wire) {
  Bytes logical;
  for (std::size_t i = 2; i < wire.size(); ++i) {
    logical.push_back(wire[i]);
    if (wire[i] == 0xAA) ++i;
  }
  if (logical.size() < 5) return {};
  return Bytes(logical.begin() + 4, logical.end() - 1);
}

FakeDevice::FakeDevice() {
  termios raw{};
  cfmakeraw(&raw);
  char name[128] = {};
  if (openpty(&master_, &slave_, name, &raw, nullptr) == 0) {
    path_ = name;
    thread_ = std::thread([this] { Serve(); });
  }
}

FakeDevice::~FakeDevice() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  if (thread_.joinable()) thread_.join();
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
}

void FakeDevice::Script(std::optional<Bytes> reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  script_.push_back(std::move(reply));
}

std::vector<Bytes> FakeDevice::Requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

Bytes FakeDevice::LastRequest() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_.empty() ? Bytes{} : requests_.back();
}

// A request is whole when its unstuffed length field is satisfied.
static bool WholeRequest(const Bytes& wire) {
  if (wire.size() < 2) return false;
  std::size_t logical = 0;
  unsigned length = 0;
  for (std::size_t i = 2; i < wire.size(); ++i) {
    if (logical < 2) length = (length << 8) | wire[i];
    ++logical;
    if (wire[i] == 0xAA) ++i;
    if (logical >= 2 && logical == 2 + length) return i + 1 <= wire.size();
  }
  return false;
}

void FakeDevice::Serve() {
  Bytes pending;
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
    }
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) continue;
    std::uint8_t buf[512];
    const ssize_t n = read(master_, buf, sizeof buf);
    if (n <= 0) continue;
    pending.insert(pending.end(), buf, buf + n);
    if (!WholeRequest(pending)) continue;
    std::optional<Bytes> reply;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(pending);
      if (!script_.empty()) {
        reply = script_.front();
        script_.pop_front();
      }
    }
    pending.clear();
    if (reply && !reply->empty()) {
      const ssize_t w = write(master_, reply->data(), reply->size());
      (void)w;
    }
  }
}

}  // namespace rivelo::test
