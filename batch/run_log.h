// The record of write runs: one CSV line for every tag a run wrote and verified, appended to a
// file that outlives the window and its list. Lines are flushed to the disk one by one, like the
// export file's, so a crash loses nothing that was listed.
//
// Columns: time, page, chip, run, file_line, then one column per form of the identity format
// (its keys as headers). One file holds one format, so every line has the same columns; the
// window keeps one file per format in the folder chosen for it.
#pragma once

#include <ctime>
#include <string>

#include "batch/batch_files.h"
#include "batch/batch_view.h"
#include "model/identity.h"

namespace rivelo {

// The folder the window's runs log into (File -> Run log...); empty: no log.
void SetRunLogFolder(std::string folder);
std::string RunLogFolder();
// The log file of a format in a folder: "rivelo-em4100-run-log.csv".
std::string RunLogPathIn(const std::string& folder, const IdentityFormat& format);

// One field of a CSV line, quoted when it holds a comma, a quote or a line end.
std::string CsvField(const std::string& text);
// The time column: local time with its offset, "2026-12-07T18:30:05+0100".
std::string RunLogTime(std::time_t when);

class RunLog {
 public:
  explicit RunLog(const IdentityFormat& format) : format_(format) {}

  // Opens path for appending, writing the header into a new or empty file. False with *why set
  // when it cannot be opened, or when it is another format's log (its lines would not fit).
  bool Open(const std::string& path, std::string* why);
  bool IsOpen() const { return file_.IsOpen(); }
  const std::string& Path() const { return path_; }

  // Starts the next run; its number is one more than the highest in the file.
  int StartRun();
  int Run() const { return run_; }

  // One line for a tag the run wrote and verified. False when it did not reach the disk.
  bool Append(std::time_t when, const std::string& page, const ListedTag& tag);
  // One line for a tag that refused the run's identity. False when it did not reach the disk.
  bool AppendRefused(std::time_t when, const std::string& page, const RefusedTag& tag);

  // The header line of a format's log.
  static std::string Header(const IdentityFormat& format);

 private:
  const IdentityFormat& format_;
  ExportFile file_;
  std::string path_;
  int lastRun_ = 0;
  int run_ = 0;
};

}  // namespace rivelo
