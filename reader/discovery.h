// Finding the reader among the serial ports, and the connected flag every page tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reader/my_data.h"
#include "reader/serial_os.h"

namespace rivelo {

// 1 while a reader is connected on slot 0.
extern thread_local std::uint8_t DeviceConnected;  // of this thread's reader slot
std::uint8_t IsDeviceConnected();

// The identification the reader answers with: the text, its NUL and six more zero bytes.
constexpr char ReaderIdText[30] = "ID card reader & writer";
constexpr int IdentifyReadLength = 200;

// Why a port scanned for the reader gave none.
struct PortAttempt {
  std::string port;
  OpenFailure open = OpenFailure::None;     // it did not open
  int systemError = 0;                       // the system's code for a failed open
  ReplyFailure reply = ReplyFailure::None;   // it opened, but brought no valid reply
  bool otherDevice = false;                  // a valid reply, but not the reader's text
  // Refused for lack of permission: the group that owns the device and may read and write it,
  // which the user could join; empty when joining a group would not help (or on Windows).
  std::string accessGroup{};
};

// 1: a reader answered on this port, which stays open in slot index; 0: not (port closed),
// and *why (when given) says what happened instead.
int IdentifyReader(const std::string& portName, int index, PortAttempt* why = nullptr);

// The system's serial ports in a stable order, or nothing when the system's list cannot be
// read at all (an empty list is a list).
std::optional<std::vector<std::string>> SystemSerialPorts();

#ifndef _WIN32
// The same list read from other roots: sysTty stands for /sys/class/tty (Linux; other systems
// list the cu.* names of dev) and dev for /dev. Read afresh on every call, so a USB adapter
// plugged in after start is seen by the next scan.
std::optional<std::vector<std::string>> SerialPortsUnder(const std::string& sysTty, const std::string& dev);

// For a port that may not be opened: the group to join for access (see PortAttempt), or empty.
std::string PortAccessGroup(const std::string& port);
#endif

struct ConnectResult {
  bool listUnavailable = false;  // the system's port list could not be read; nothing scanned
  bool found = false;
  std::string port;
  std::vector<PortAttempt> refused;  // the ports tried before the reader's, or all, in order
};

// Closes slot 0, then tries each port in order and keeps the first reader. On success the flag
// is set; otherwise it is cleared, since slot 0 is then closed.
ConnectResult ConnectDevice(const std::vector<std::string>& ports);
// Of the ports refused for lack of permission, the one a reader most likely sits behind (a USB
// adapter before a built-in port, else the first); null when none was.
const PortAttempt* PermissionRefusal(const std::vector<PortAttempt>& attempts);

// Closes slot 0 and clears the flag.
void DisconnectDevice();

// The ports to scan: first, the extra ones given in order, then the system's list. The
// system's list failing leaves the extra ones; nullopt only when there is nothing at all.
std::optional<std::vector<std::string>> PortsToScan(const std::vector<std::string>& first,
                                                    const std::vector<std::string>& last);

}  // namespace rivelo
