#include "batch/run_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/file.h>
#include <unistd.h>
#endif

namespace rivelo {
namespace {

std::mutex folderMutex;
std::string folderSetting;

// The fields of one CSV line (quotes as CsvField writes them).
std::vector<std::string> SplitCsv(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

void StripLineEnd(std::string& line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
}

// The highest run number in a log's lines (0: none).
int HighestRun(const std::string& content) {
  int highest = 0;
  std::size_t at = content.find('\n');  // after the header
  while (at != std::string::npos && at + 1 < content.size()) {
    const std::size_t end = content.find('\n', at + 1);
    std::string line = content.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    at = end;
    StripLineEnd(line);
    const std::vector<std::string> fields = SplitCsv(line);
    if (fields.size() < 4) continue;
    int run = 0;
    const std::string& text = fields[3];
    const auto result = std::from_chars(text.data(), text.data() + text.size(), run);
    if (result.ec == std::errc() && run > highest) highest = run;
  }
  return highest;
}

#ifdef _WIN32
int OpenLog(const std::string& path, bool) {
  return _open(path.c_str(), _O_RDWR | _O_APPEND | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}
bool IsRegularFile(int fd) {
  struct _stat64 st {};
  return _fstat64(fd, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
}
bool OneName(int) { return true; }
long long FileSize(int fd) {
  struct _stat64 st {};
  return _fstat64(fd, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}
void CloseFile(int fd) { _close(fd); }
bool LinkRefused(int) { return false; }
long long ReadAt(int fd, char* buf, unsigned n, long long at) {
  if (_lseeki64(fd, at, SEEK_SET) < 0) return -1;
  return _read(fd, buf, n);
}
long long WriteSome(int fd, const char* buf, unsigned n) { return _write(fd, buf, n); }
bool Sync(int fd) { return _commit(fd) == 0; }
// Windows has no advisory lock of this kind: runs sharing a log there are not kept apart.
struct FileLock {
  explicit FileLock(int) {}
};
#else
// Created new where it is missing (never through a link planted in its place), else opened
// as it is. Read and write, so that the lines already there can be read back through the
// same file; write only where reading is not allowed (a write-only device).
int OpenLog(const std::string& path, bool noLink) {
  const int flags = O_APPEND | O_CLOEXEC | O_NOCTTY | (noLink ? O_NOFOLLOW : 0);
  if (!noLink) {
    // The operator's own name: a link there leads where the operator meant, a missing target
    // is created.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | flags, 0644);
    return fd < 0 && errno == EACCES ? open(path.c_str(), O_WRONLY | O_CREAT | flags, 0644) : fd;
  }
  for (int attempt = 0; attempt < 3; ++attempt) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | flags, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
    fd = open(path.c_str(), O_RDWR | flags);
    if (fd < 0 && errno == EACCES) fd = open(path.c_str(), O_WRONLY | flags);
    if (fd >= 0 || errno != ENOENT) return fd;  // ENOENT: removed meanwhile, create it
  }
  return -1;
}
bool IsRegularFile(int fd) {
  struct stat st {};
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}
bool OneName(int fd) {
  struct stat st {};
  return fstat(fd, &st) == 0 && st.st_nlink == 1;
}
long long FileSize(int fd) {
  struct stat st {};
  return fstat(fd, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}
void CloseFile(int fd) { close(fd); }
bool LinkRefused(int error) { return error == ELOOP; }
long long ReadAt(int fd, char* buf, unsigned n, long long at) {
  for (;;) {
    const ssize_t got = pread(fd, buf, n, static_cast<off_t>(at));
    if (got >= 0 || errno != EINTR) return got;
  }
}
long long WriteSome(int fd, const char* buf, unsigned n) {
  for (;;) {
    const ssize_t put = write(fd, buf, n);
    if (put >= 0 || errno != EINTR) return put;
  }
}
bool Sync(int fd) { return fsync(fd) == 0; }
// Held while the log is read back and while a line is added. A file system without these
// locks still gets its lines, only without the guard.
class FileLock {
 public:
  explicit FileLock(int fd) : fd_(fd) {
    while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~FileLock() { flock(fd_, LOCK_UN); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_;
};
#endif

bool ReadAll(int fd, std::string* content) {
  content->clear();
  char buf[65536];
  for (;;) {
    const long long got = ReadAt(fd, buf, sizeof buf, static_cast<long long>(content->size()));
    if (got < 0) return false;
    if (got == 0) return true;
    content->append(buf, static_cast<std::size_t>(got));
  }
}

// The last byte of the file (nothing when it is empty).
bool ReadEnd(int fd, std::string* content) {
  content->clear();
  const long long size = FileSize(fd);
  if (size < 0) return false;
  if (size == 0) return true;
  char last = 0;
  if (ReadAt(fd, &last, 1, size - 1) != 1) return false;
  content->assign(1, last);
  return true;
}

// The whole text, synced to the disk when it is a file (a pipe or a device has no disk).
bool WriteAll(int fd, const std::string& text, bool sync) {
  std::size_t done = 0;
  while (done < text.size()) {
    const long long put = WriteSome(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
    if (put < 0) return false;
    if (put == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return !sync || Sync(fd);
}

}  // namespace

void SetRunLogFolder(std::string folder) {
  std::lock_guard lock(folderMutex);
  folderSetting = std::move(folder);
}

std::string RunLogFolder() {
  std::lock_guard lock(folderMutex);
  return folderSetting;
}

std::string RunLogPathIn(const std::string& folder, const IdentityFormat& format) {
  return JoinExportPath(folder, std::string("rivelo-") + format.name + "-run-log.csv");
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string RunLogTime(std::time_t when) { return LocalTimeText(when, "%Y-%m-%dT%H:%M:%S%z"); }

std::string RunLog::EarlierHeader(const IdentityFormat& format) {
  std::string header = "time,page,chip,run,file_line";
  for (const IdentityForm& form : format.forms) header += "," + CsvField(form.key);
  return header;
}

std::string RunLog::Header(const IdentityFormat& format) {
  return EarlierHeader(format) + ",status,reason,chip_serial";
}

RunLog::~RunLog() { Close(); }

void RunLog::Close() {
  if (fd_ >= 0) CloseFile(fd_);
  fd_ = -1;
}

bool RunLog::Open(const std::string& path, std::string* why, bool namedByUser) {
  Close();
  path_ = path;
  run_ = 0;
  numbered_ = false;
  earlier_ = false;
  error_.clear();
  const auto fail = [&](std::string reason) {
    Close();
    if (why) *why = std::move(reason);
    return false;
  };
  fd_ = OpenLog(path, !namedByUser);
  if (fd_ < 0) {
    if (LinkRefused(errno) && !namedByUser)
      return fail("it is a symbolic link, which a log in the chosen folder never follows");
    return fail(std::strerror(errno));
  }
  regular_ = IsRegularFile(fd_);
  // Under a made-up name, a pipe planted there would take the lines (and stall the run once
  // full), and a second name of another file would append to that file.
  if (!namedByUser && (!regular_ || !OneName(fd_)))
    return fail("it is not a file of its own (a pipe, a device or a hard link)");
  // Only a regular file is read back: a pipe or a device (a log sent to standard output) has
  // nothing to read, or never ends.
  if (!regular_) return true;
  const FileLock lock(fd_);
  std::string content;
  if (!ReadAll(fd_, &content))
    return fail(errno == EBADF ? "it may be written but not read, and its runs are numbered from its lines"
                               : std::strerror(errno));
  if (content.empty()) return true;
  std::string first = content.substr(0, content.find('\n'));
  if (first.rfind("\xEF\xBB\xBF", 0) == 0) first.erase(0, 3);
  StripLineEnd(first);
  if (first == EarlierHeader(format_)) earlier_ = true;
  else if (first != Header(format_))
    return fail("it holds another kind of log (its first line is not \"" + Header(format_) + "\")");
  return true;
}

int RunLog::StartRun() {
  numbered_ = false;
  run_ = 1;
  if (fd_ < 0) return run_;
  const FileLock lock(fd_);
  std::string content;
  if (!regular_ || (ReadAll(fd_, &content) && content.empty())) {
    // A new file, or a stream: each run that writes into a stream starts it with the header.
    if (!WriteAll(fd_, Header(format_) + "\r\n", regular_)) error_ = std::strerror(errno);
    return run_;
  }
  run_ = HighestRun(content) + 1;
  return run_;
}

// Under the lock: the line goes on a line of its own, and the run's first line settles its
// number against what other runs wrote meanwhile.
bool RunLog::WriteRow(const std::string& head, const std::string& tail) {
  if (fd_ < 0) return false;
  const FileLock lock(fd_);
  std::string text;
  if (regular_) {
    // The whole file only for the run's first line; after that its end will do.
    std::string content;
    const bool read = numbered_ ? ReadEnd(fd_, &content) : ReadAll(fd_, &content);
    if (!read) {
      error_ = std::strerror(errno);
      return false;
    }
    if (content.empty()) text = (earlier_ ? EarlierHeader(format_) : Header(format_)) + "\r\n";
    // A line cut off by a crash or a full disk is ended, so that this one starts on its own.
    else if (content.back() != '\n') text = "\r\n";
    if (!numbered_) run_ = std::max(run_, HighestRun(content) + 1);
  }
  text += head + std::to_string(run_) + tail + "\r\n";
  if (!WriteAll(fd_, text, regular_)) {
    error_ = std::strerror(errno);
    return false;
  }
  numbered_ = true;
  return true;
}

bool RunLog::Append(std::time_t when, const std::string& page, const ListedTag& tag) {
  const std::string head = RunLogTime(when) + "," + CsvField(page) + "," + CsvField(tag.chip ? tag.chip : "") + ",";
  std::string tail = "," + (tag.fileLine > 0 ? std::to_string(tag.fileLine) : "");
  for (std::size_t form = 0; form < format_.forms.size(); ++form) tail += "," + CsvField(format_.text(tag.id, form));
  // The password itself never goes into the log: only that the tag carries one.
  if (!earlier_) tail += std::string(tag.protectedTag ? ",protected,," : ",written,,") + CsvField(tag.chipSerial);
  return WriteRow(head, tail);
}

bool RunLog::AppendRefused(std::time_t when, const std::string& page, const RefusedTag& tag) {
  if (earlier_) return true;  // no column to tell it from a written tag
  const std::string head = RunLogTime(when) + "," + CsvField(page) + "," + CsvField(tag.chip ? tag.chip : "") + ",";
  std::string tail = "," + (tag.fileLine > 0 ? std::to_string(tag.fileLine) : "");
  for (std::size_t form = 0; form < format_.forms.size(); ++form)
    tail += "," + CsvField(format_.text(tag.target, form));
  tail += ",refused," + CsvField(tag.reason) + "," + CsvField(tag.chipSerial);
  return WriteRow(head, tail);
}

}  // namespace rivelo
