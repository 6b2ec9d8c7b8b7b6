// The files of batch runs: the batch file read line by line, and the export file written
// one identity per line.
#pragma once

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace rivelo {

// The lines of a text file without their line ends ("\n" or "\r\n"), empty lines included;
// nullopt when the file cannot be opened.
std::optional<std::vector<std::string>> LoadBatchFile(const std::string& path);

// "%Y-%m-%d-%H-%M-%S.txt" in local time.
std::string ExportFileName(std::time_t when);

// folder + separator + name, without a second separator when the folder already ends in one.
std::string JoinExportPath(const std::string& folder, const std::string& name);

// An export file. Lines end in "\r\n" on every platform, as the export files of this tool
// always have. Opening appends, so a second run within the same second (same name) keeps the
// first run's lines. Each line is flushed to the disk before WriteLine returns.
class ExportFile {
 public:
  ExportFile() = default;
  ~ExportFile();
  ExportFile(const ExportFile&) = delete;
  ExportFile& operator=(const ExportFile&) = delete;

  // False, with the system's reason, when the file cannot be opened for writing.
  bool Open(const std::string& path, std::string* why);
  bool WriteLine(const std::string& text);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace rivelo
