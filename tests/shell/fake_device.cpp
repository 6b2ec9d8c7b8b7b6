#include "fake_device.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <array>

namespace rivelo::test {
namespace {

// Reply frame: AA DD, length (payload + 4), command echo, status 0, payload, XOR checksum;
// 0xAA after the header is followed by 0x00.
std::vector<std::uint8_t> ReplyFrame(int command, const std::string& payload) {
  std::vector<std::uint8_t> logical;
  const int length = static_cast<int>(payload.size()) + 4;
  logical.push_back(static_cast<std::uint8_t>(length >> 8));
  logical.push_back(static_cast<std::uint8_t>(length & 0xFF));
  logical.push_back(static_cast<std::uint8_t>(command >> 8));
  logical.push_back(static_cast<std::uint8_t>(command & 0xFF));
  logical.push_back(0);
  for (char c : payload) logical.push_back(static_cast<std::uint8_t>(c));
  std::uint8_t sum = 0;
  for (std::size_t i = 2; i < logical.size(); ++i) sum ^= logical[i];
  logical.push_back(sum);
  std::vector<std::uint8_t> wire{0xAA, 0xDD};
  for (std::uint8_t b : logical) {
    wire.push_back(b);
    if (b == 0xAA) wire.push_back(0x00);
  }
  return wire;
}

}  // namespace

FakeDevice::FakeDevice(std::optional<std::string> answer) : answer_(std::move(answer)) {
  std::array<char, 128> name{};
  if (::openpty(&master_, &slave_, name.data(), nullptr, nullptr) != 0) return;
  termios tio{};
  ::tcgetattr(slave_, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(slave_, TCSANOW, &tio);
  path_ = name.data();
  thread_ = std::thread([this] { Serve(); });
}

FakeDevice::~FakeDevice() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

std::vector<int> FakeDevice::Commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

std::vector<int> FakeDevice::FirstDataBytes() const {
  std::lock_guard lock(mutex_);
  return firstData_;
}

void FakeDevice::Serve() {
  std::vector<std::uint8_t> pending;
  while (!stop_) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN)) continue;
    std::array<std::uint8_t, 256> buffer{};
    const ssize_t n = ::read(master_, buffer.data(), buffer.size());
    if (n <= 0) continue;
    pending.insert(pending.end(), buffer.begin(), buffer.begin() + n);
    // The requests of these tests carry no 0xAA, so the frame is its plain length.
    while (pending.size() >= 4) {
      const std::size_t total = 4 + (static_cast<std::size_t>(pending[2]) << 8 | pending[3]);
      if (pending.size() < total) break;
      const int command = pending[4] << 8 | pending[5];
      {
        std::lock_guard lock(mutex_);
        commands_.push_back(command);
        firstData_.push_back(total > 7 ? pending[6] : -1);
      }
      pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(total));
      if (answer_) {
        const auto reply = ReplyFrame(command, *answer_);
        [[maybe_unused]] const ssize_t w = ::write(master_, reply.data(), reply.size());
      }
    }
  }
}

}  // namespace rivelo::test
