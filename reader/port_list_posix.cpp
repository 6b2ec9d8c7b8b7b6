// The system's serial ports on Linux (sysfs) and other POSIX systems (/dev names), and the
// group that grants access to a port the user may not open.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

std::optional<std::vector<std::string>> SerialPortsUnder(const std::string& sysTty, const std::string& dev) {
  // Nothing here is kept between calls: the list is the system's as it is now.
  std::vector<std::string> names;
  std::error_code ec;
#if defined(__linux__)
  (void)dev;
  if (!fs::is_directory(sysTty, ec)) return std::nullopt;
  for (const auto& entry : fs::directory_iterator(sysTty, ec)) {
    const fs::path tty = entry.path();
    if (!fs::exists(tty / "device" / "driver", ec)) continue;  // virtual consoles, ptys
    if (IsPhantomUart(tty)) continue;
    names.push_back(tty.filename().string());
  }
#else
  (void)sysTty;
  if (!fs::is_directory(dev, ec)) return std::nullopt;
  for (const auto& entry : fs::directory_iterator(dev, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("cu.", 0) == 0) names.push_back(name);
  }
#endif
  std::sort(names.begin(), names.end(), NaturalLess);
  std::vector<std::string> paths;
  for (const auto& n : names) paths.push_back((fs::path(dev) / n).string());
  return paths;
}

std::optional<std::vector<std::string>> SystemSerialPorts() { return SerialPortsUnder("/sys/class/tty", "/dev"); }

std::string PortAccessGroup(const std::string& port) {
  struct stat st {};
  if (::stat(port.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return {};
  // Joining root's group is no advice, and a group without read and write access grants none.
  if (st.st_gid == 0 || (st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) return {};
  // Already a member in this session: something else (the owner's bits, an ACL) refuses.
  if (::getegid() == st.st_gid) return {};
  const int count = ::getgroups(0, nullptr);
  if (count > 0) {
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    if (got > 0 && std::find(groups.begin(), groups.begin() + got, st.st_gid) != groups.begin() + got) return {};
  }
  std::vector<char> buffer(4096);
  struct group entry {};
  struct group* found = nullptr;
  while (::getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < (1u << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  // A group without a name (none in the group database) is still joined by its number.
  return found != nullptr && found->gr_name != nullptr ? std::string(found->gr_name) : std::to_string(st.st_gid);
}

}  // namespace rivelo
