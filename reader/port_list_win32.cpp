// The system's serial ports on Windows: the values under HARDWARE\DEVICEMAP\SERIALCOMM,
// in the order the registry enumerates them.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "reader/discovery.h"

namespace rivelo {
namespace {

constexpr DWORD EntryBytes = 25;  // value name and data buffers; COM names are far shorter

// The value data as a port name: a string value without its terminating NULs.
std::optional<std::string> PortName(DWORD type, const std::vector<char>& data, DWORD size) {
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::string name(data.data(), std::min<std::size_t>(size, data.size()));
  while (!name.empty() && name.back() == '\0') name.pop_back();
  if (name.empty()) return std::nullopt;
  return name;
}

// Reads value index again with buffers as large as the key's longest name and data.
// Needed when a driver registers a device name longer than the usual buffer: the first
// call then says "more data" and leaves the data buffer undefined.
LONG EnumLarge(HKEY key, DWORD index, DWORD* type, std::vector<char>* data, DWORD* dataSize) {
  DWORD maxName = 0, maxData = 0;
  LONG r = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            &maxName, &maxData, nullptr, nullptr);
  if (r != ERROR_SUCCESS) return r;
  std::vector<char> name(maxName + 1);
  DWORD nameSize = maxName + 1;
  data->assign(maxData + 1, '\0');
  *dataSize = maxData + 1;
  return RegEnumValueA(key, index, name.data(), &nameSize, nullptr, type,
                       reinterpret_cast<BYTE*>(data->data()), dataSize);
}

}  // namespace

std::optional<std::vector<std::string>> SystemSerialPorts() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return std::nullopt;
  std::vector<std::string> ports;
  for (DWORD index = 0;; ++index) {
    char name[EntryBytes];
    std::vector<char> data(EntryBytes, '\0');
    // Both sizes are in/out: reset before every call.
    DWORD nameSize = EntryBytes;
    DWORD dataSize = EntryBytes;
    DWORD type = 0;
    LONG r = RegEnumValueA(key, index, name, &nameSize, nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &dataSize);
    if (r == ERROR_MORE_DATA) r = EnumLarge(key, index, &type, &data, &dataSize);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) {
      // A value that changed under us or cannot be read: go on with the next one.
      if (r == ERROR_MORE_DATA) continue;
      break;
    }
    if (auto port = PortName(type, data, dataSize)) ports.push_back(*port);
  }
  RegCloseKey(key);
  return ports;
}

}  // namespace rivelo
