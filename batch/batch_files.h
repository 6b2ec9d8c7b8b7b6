// The files of batch runs: the batch file, checked whole before a run may start, and the
// export file written one identity per line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "model/identity.h"

namespace rivelo {

// Larger batch files are refused: no real batch comes near it, and a device or a runaway
// file must not fill the memory.
constexpr std::uintmax_t MaxBatchFileBytes = 64u << 20;

enum class BatchFileError {
  None,
  CannotOpen,   // reason: the system's
  ReadError,    // reason: the system's
  NotAFile,     // a directory, FIFO, device or socket
  TooLarge,
  Utf16,        // a UTF-16 byte-order mark
  Binary,       // NUL bytes: not a text file (or UTF-16 without a mark)
  BadLine,      // line, text and lineError say which
  Empty,        // no identity in it: nothing but blank lines, or nothing at all
};

struct BatchFile {
  BatchFileError error = BatchFileError::None;
  std::string reason;           // the system's reason, for CannotOpen and ReadError
  std::string path;             // the file, for Empty
  int line = 0;                 // 1-based, for BadLine
  std::string text;             // the bad line as read
  LineError lineError = LineError::None;
  // The identity lines as read (line end and a UTF-8 byte-order mark removed; blank lines
  // skipped) and what they stand for.
  std::vector<std::string> lines;
  std::vector<Identity> ids;
  std::vector<int> lineNumbers;  // each identity line's own number in the file, from 1
  bool ok() const { return error == BatchFileError::None; }
};

// Reads and checks the whole file against the format. Nothing is returned in lines unless
// every line is an identity.
BatchFile LoadBatchFile(const std::string& path, const IdentityFormat& format);

// Why a file was refused, in the current language (empty when it was not).
std::string DescribeBatchFileError(const BatchFile& file);

// "%Y-%m-%d-%H-%M-%S.txt" in local time.
std::string ExportFileName(std::time_t when);
// when in local time, through strftime's format (results up to 63 characters).
std::string LocalTimeText(std::time_t when, const char* format);

// folder + separator + name, without a second separator when the folder already ends in one.
std::string JoinExportPath(const std::string& folder, const std::string& name);

// An export file. Lines end in "\r\n" on every platform, as the export files of this tool
// always have. Each line is flushed to the disk before WriteLine returns.
class ExportFile {
 public:
  ExportFile() = default;
  ~ExportFile();
  ExportFile(const ExportFile&) = delete;
  ExportFile& operator=(const ExportFile&) = delete;

  // Creates a new file (mode 0644, narrowed by the umask) at path, or, when a file or a link
  // of that name is there, at the first free "NAME-1.txt", "NAME-2.txt"...: an existing file is
  // never appended to, and a link planted under the next name cannot redirect the export.
  // Path() says which. False, with the system's reason, when none can be created.
  bool Open(const std::string& path, std::string* why);
  const std::string& Path() const { return path_; }
  bool WriteLine(const std::string& text);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};

// path with "-n" before its extension: "a/2024-05-06-14-03-59-2.txt".
std::string NumberedPath(const std::string& path, int n);

}  // namespace rivelo
