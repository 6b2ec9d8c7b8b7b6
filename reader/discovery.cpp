#include "reader/discovery.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "reader/bytes.h"
#include "reader/commands.h"
#include "reader/my_comm.h"

namespace rivelo {

thread_local std::uint8_t DeviceConnected = 0;

std::uint8_t IsDeviceConnected() { return DeviceConnected; }

int IdentifyReader(const std::string& portName, int index, PortAttempt* why) {
  PortAttempt ignored;
  if (why == nullptr) why = &ignored;
  *why = PortAttempt{portName};
  CMyComm* comm = PortAt(index);
  if (comm == nullptr) {
    why->open = OpenFailure::Other;
    return 0;
  }
  if (comm->Open(portName, ReaderBaudRate) != 1) {
    why->open = comm->LastOpenFailure();
    why->systemError = comm->LastOpenError();
#ifndef _WIN32
    if (why->open == OpenFailure::PermissionDenied) why->accessGroup = PortAccessGroup(portName);
#endif
    return 0;
  }
  comm->SetReadLength(IdentifyReadLength, 0);
  std::array<std::uint8_t, 1024> payload{};
  int length = 0;
  const RResult r = CmdGetDeviceInfo(payload, &length, index);
  comm->SetReadLength(DefaultReadLength, 0);
  const int p = length % 256;
  const bool matches = r == ROk && length <= static_cast<int>(sizeof ReaderIdText) &&
                       BytesDiffer(payload.data(), reinterpret_cast<const std::uint8_t*>(ReaderIdText), p) == 0;
  if (matches) return 1;
  why->reply = comm->LastReplyFailure();
  why->otherDevice = r == ROk && why->reply == ReplyFailure::None;
  comm->Close();
  return 0;
}

ConnectResult ConnectDevice(const std::vector<std::string>& ports) {
  ConnectResult result;
  for (const std::string& port : ports) {
    ClosePort(ReaderPortIndex);
    PortAttempt why;
    if (IdentifyReader(port, ReaderPortIndex, &why) == 1) {
      result.found = true;
      result.port = port;
      DeviceConnected = 1;
      return result;
    }
    result.refused.push_back(std::move(why));
  }
  // Every attempt closed its port: pages must not go on believing a reader is there.
  ClosePort(ReaderPortIndex);
  DeviceConnected = 0;
  return result;
}

namespace {

// USB serial adapters and USB CDC devices: ttyUSB0 and ttyACM0 on Linux, cu.usbserial-* and
// cu.usbmodem* on macOS. Readers come on these; built-in ports rarely hold one.
bool LooksLikeUsbPort(const std::string& port) {
  std::string lower = port;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::size_t slash = lower.find_last_of('/');
  const std::string name = slash == std::string::npos ? lower : lower.substr(slash + 1);
  return name.find("usb") != std::string::npos || name.find("acm") != std::string::npos;
}

}  // namespace

const PortAttempt* PermissionRefusal(const std::vector<PortAttempt>& attempts) {
  const PortAttempt* first = nullptr;
  for (const PortAttempt& attempt : attempts) {
    if (attempt.open != OpenFailure::PermissionDenied) continue;
    if (LooksLikeUsbPort(attempt.port)) return &attempt;
    if (first == nullptr) first = &attempt;
  }
  return first;
}

void DisconnectDevice() {
  ClosePort(ReaderPortIndex);
  DeviceConnected = 0;
}

std::optional<std::vector<std::string>> PortsToScan(const std::vector<std::string>& first,
                                                    const std::vector<std::string>& last) {
  auto system = SystemSerialPorts();
  if (!system && first.empty() && last.empty()) return std::nullopt;
  std::vector<std::string> all = first;
  if (system) all.insert(all.end(), system->begin(), system->end());
  all.insert(all.end(), last.begin(), last.end());
  return all;
}

}  // namespace rivelo
