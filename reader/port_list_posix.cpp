// The system's serial ports on Linux (sysfs) and other POSIX systems (/dev names).
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "reader/discovery.h"

namespace rivelo {
namespace {

namespace fs = std::filesystem;

// Orders ttyS2 before ttyS10 and ttyACM0 before ttyUSB0.
bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (std::isdigit(static_cast<unsigned char>(a[i])) && std::isdigit(static_cast<unsigned char>(b[j]))) {
      std::size_t ie = i, je = j;
      while (ie < a.size() && std::isdigit(static_cast<unsigned char>(a[ie]))) ++ie;
      while (je < b.size() && std::isdigit(static_cast<unsigned char>(b[je]))) ++je;
      const unsigned long long x = std::stoull(a.substr(i, std::min<std::size_t>(ie - i, 18)));
      const unsigned long long y = std::stoull(b.substr(j, std::min<std::size_t>(je - j, 18)));
      if (x != y) return x < y;
      i = ie;
      j = je;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

// The legacy 8250 driver registers ports that have no UART behind them; sysfs reports
// their type as 0 (unknown). Scanning them would only cost time.
bool IsPhantomUart(const fs::path& tty) {
  std::ifstream type(tty / "type");
  int value = -1;
  return (type >> value) && value == 0;
}

}  // namespace

std::optional<std::vector<std::string>> SystemSerialPorts() {
  std::vector<std::string> names;
  std::error_code ec;
#if defined(__linux__)
  const fs::path sysTty = "/sys/class/tty";
  if (!fs::is_directory(sysTty, ec)) return std::nullopt;
  for (const auto& entry : fs::directory_iterator(sysTty, ec)) {
    const fs::path tty = entry.path();
    if (!fs::exists(tty / "device" / "driver", ec)) continue;  // virtual consoles, ptys
    if (IsPhantomUart(tty)) continue;
    names.push_back(tty.filename().string());
  }
#else
  const fs::path dev = "/dev";
  if (!fs::is_directory(dev, ec)) return std::nullopt;
  for (const auto& entry : fs::directory_iterator(dev, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("cu.", 0) == 0) names.push_back(name);
  }
#endif
  std::sort(names.begin(), names.end(), NaturalLess);
  std::vector<std::string> paths;
  for (const auto& n : names) paths.push_back("/dev/" + n);
  return paths;
}

}  // namespace rivelo
