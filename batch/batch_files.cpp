#include "batch/batch_files.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace rivelo {

std::optional<std::vector<std::string>> LoadBatchFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    // Files written on Windows end their lines in CR LF.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string ExportFileName(std::time_t when) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  char name[64];
  const std::size_t n = std::strftime(name, sizeof name, "%Y-%m-%d-%H-%M-%S.txt", &local);
  return std::string(name, n);
}

std::string JoinExportPath(const std::string& folder, const std::string& name) {
#ifdef _WIN32
  constexpr char separator = '\\';
  const bool ends = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
#else
  constexpr char separator = '/';
  const bool ends = !folder.empty() && folder.back() == '/';
#endif
  return ends ? folder + name : folder + separator + name;
}

ExportFile::~ExportFile() { Close(); }

bool ExportFile::Open(const std::string& path, std::string* why) {
  Close();
  // Binary append: the line ends are written as they are, and an earlier file of the same
  // name is continued instead of emptied.
  file_ = std::fopen(path.c_str(), "ab");
  if (!file_ && why) *why = std::strerror(errno);
  return file_ != nullptr;
}

bool ExportFile::WriteLine(const std::string& text) {
  if (!file_) return false;
  const std::string line = text + "\r\n";
  bool ok = std::fwrite(line.data(), 1, line.size(), file_) == line.size();
  ok = std::fflush(file_) == 0 && ok;
#ifdef _WIN32
  ok = _commit(_fileno(file_)) == 0 && ok;
#else
  ok = fsync(fileno(file_)) == 0 && ok;
#endif
  return ok;
}

void ExportFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace rivelo
