#include "batch/batch_files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "batch/batch_profile.h"
#include "resources/texts_batch.h"

namespace rivelo {
namespace {

#ifdef _WIN32
using StatBuf = struct _stat64;
int OpenForReading(const std::string& path) { return _open(path.c_str(), _O_RDONLY | _O_BINARY); }
int StatOf(int fd, StatBuf* st) { return _fstat64(fd, st); }
bool IsRegular(const StatBuf& st) { return (st.st_mode & _S_IFMT) == _S_IFREG; }
long long ReadSome(int fd, char* buf, unsigned n) { return _read(fd, buf, n); }
void CloseFd(int fd) { _close(fd); }
void Blocking(int) {}
#else
using StatBuf = struct stat;
// Non-blocking, so that a FIFO with no writer does not hold the load; the check on the
// opened file then refuses it.
int OpenForReading(const std::string& path) { return open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); }
int StatOf(int fd, StatBuf* st) { return fstat(fd, st); }
bool IsRegular(const StatBuf& st) { return S_ISREG(st.st_mode); }
long long ReadSome(int fd, char* buf, unsigned n) {
  for (;;) {
    const ssize_t got = read(fd, buf, n);
    if (got >= 0 || errno != EINTR) return got;
  }
}
void CloseFd(int fd) { close(fd); }
void Blocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK); }
#endif

BatchFile Refused(BatchFileError error, std::string reason = {}) {
  BatchFile f;
  f.error = error;
  f.reason = std::move(reason);
  return f;
}

// The whole file, or a refusal; never more than MaxBatchFileBytes.
BatchFile ReadWhole(const std::string& path, std::string* content) {
  const int fd = OpenForReading(path);
  if (fd < 0) return Refused(BatchFileError::CannotOpen, std::strerror(errno));
  StatBuf st{};
  BatchFile result;
  if (StatOf(fd, &st) != 0) {
    result = Refused(BatchFileError::ReadError, std::strerror(errno));
  } else if (!IsRegular(st)) {
    result = Refused(BatchFileError::NotAFile);
  } else if (static_cast<std::uintmax_t>(st.st_size) > MaxBatchFileBytes) {
    result = Refused(BatchFileError::TooLarge);
  } else {
    Blocking(fd);
    char buf[65536];
    for (;;) {
      const long long got = ReadSome(fd, buf, sizeof buf);
      if (got < 0) {
        result = Refused(BatchFileError::ReadError, std::strerror(errno));
        break;
      }
      if (got == 0) break;
      content->append(buf, static_cast<std::size_t>(got));
      // A file that grows while it is read is held to the same limit.
      if (content->size() > MaxBatchFileBytes) {
        result = Refused(BatchFileError::TooLarge);
        break;
      }
    }
  }
  CloseFd(fd);
  return result;
}

bool BlankLine(const std::string& line) {
  return line.find_first_not_of(" \t\v\f") == std::string::npos;
}

}  // namespace

BatchFile LoadBatchFile(const std::string& path, const IdentityFormat& format) {
  std::string content;
  BatchFile file = ReadWhole(path, &content);
  if (!file.ok()) return file;
  if (content.size() >= 2 && ((content[0] == '\xFF' && content[1] == '\xFE') || (content[0] == '\xFE' && content[1] == '\xFF')))
    return Refused(BatchFileError::Utf16);
  if (content.find('\0') != std::string::npos) return Refused(BatchFileError::Binary);
  // Windows editors start UTF-8 files with a byte-order mark.
  std::size_t at = content.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  int number = 0;
  while (at < content.size()) {
    std::size_t end = content.find('\n', at);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(at, end - at);
    at = end + 1;
    ++number;
    // Files written on Windows end their lines in CR LF.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (BlankLine(line)) continue;
    LineParse parsed = format.parseLine(line);
    if (!parsed.id) {
      BatchFile bad = Refused(BatchFileError::BadLine);
      bad.line = number;
      bad.text = line;
      bad.lineError = parsed.error;
      return bad;
    }
    file.lines.push_back(std::move(line));
    file.ids.push_back(std::move(*parsed.id));
    file.lineNumbers.push_back(number);
  }
  // A run of an empty file would end at once, as if it had written everything.
  if (file.ids.empty()) {
    BatchFile empty = Refused(BatchFileError::Empty);
    empty.path = path;
    return empty;
  }
  return file;
}

std::string DescribeBatchFileError(const BatchFile& file) {
  namespace t = texts::batch;
  switch (file.error) {
    case BatchFileError::None: return {};
    case BatchFileError::CannotOpen: return t::CannotOpen() + file.reason;
    case BatchFileError::ReadError: return t::ReadError() + file.reason;
    case BatchFileError::NotAFile: return t::NotAFile();
    case BatchFileError::TooLarge: return t::TooLarge();
    case BatchFileError::Utf16: return t::Utf16();
    case BatchFileError::Binary: return t::Binary();
    case BatchFileError::Empty: return t::NoIdentities() + file.path;
    case BatchFileError::BadLine: break;
  }
  const char* why = "";
  switch (file.lineError) {
    case LineError::NotANumber: why = t::NotANumber(); break;
    case LineError::Negative: why = t::Negative(); break;
    case LineError::TrailingText: why = t::TrailingText(); break;
    case LineError::TooLarge: why = t::ValueTooLarge(); break;
    case LineError::PartLine: why = t::PartLine(); break;
    case LineError::None: break;
  }
  return WithCount(t::BadLine(), file.line) + file.text + "\" (" + why + ")";
}

std::string LocalTimeText(std::time_t when, const char* format) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  char text[64];
  const std::size_t n = std::strftime(text, sizeof text, format, &local);
  return std::string(text, n);
}

std::string ExportFileName(std::time_t when) { return LocalTimeText(when, "%Y-%m-%d-%H-%M-%S.txt"); }

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

std::string NumberedPath(const std::string& path, int n) {
  const std::size_t slash = path.find_last_of("/\\");
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
  return path.substr(0, dot) + "-" + std::to_string(n) + path.substr(dot);
}

bool ExportFile::Open(const std::string& path, std::string* why) {
  Close();
  // Names that are taken are passed over, up to a limit that no clock-named export reaches.
  constexpr int MaxNumber = 999;
  for (int n = 0; n <= MaxNumber; ++n) {
    const std::string candidate = n == 0 ? path : NumberedPath(path, n);
#ifdef _WIN32
    const int fd =
        _open(candidate.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
#else
    // O_EXCL refuses any name that is there, a link included, dangling or not.
    const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
#endif
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) break;
    // Binary: the line ends are written as they are.
#ifdef _WIN32
    file_ = _fdopen(fd, "wb");
#else
    file_ = fdopen(fd, "wb");
#endif
    if (!file_) {
      const int saved = errno;
      CloseFd(fd);
      errno = saved;
      break;
    }
    path_ = candidate;
    return true;
  }
  if (why) *why = std::strerror(errno);
  return false;
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
