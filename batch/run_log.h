// The record of write runs: one CSV line for every tag a run wrote and verified, or that refused
// the identity meant for it, appended to a file that outlives the window and its list. Lines
// reach the disk one by one, like the export file's, so a crash loses nothing that was listed.
//
// Columns: time, page, chip, run, file_line, one column per form of the identity format (its
// keys as headers), then status ("written", "protected": written and given the run's password,
// or "refused"), reason and chip_serial. One file holds
// one format, so every line has the same columns; the window keeps one file per format in the
// folder chosen for it. Several runs, in several programs, may share one file: an advisory lock
// (flock) covers the header, the run numbering and every line.
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
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Opens path for appending, creating it (mode 0644, narrowed by the umask) when it is missing.
  // A symbolic link as the last part of the path is refused unless namedByUser: a file the
  // operator named (--log) may be a link of the operator's choosing, a name the program made up
  // inside a folder (the window's) must not be redirected by whoever can write there. A pipe or
  // a device is written as a stream. False with *why set when it cannot be opened, or when it is
  // another format's log (its lines would not fit).
  bool Open(const std::string& path, std::string* why, bool namedByUser = false);
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

  // Starts the next run, writing the header into an empty file; its number is one more than the
  // highest in the file. The number is settled with the run's first line: another run that got
  // there first makes it the next one up.
  int StartRun();
  int Run() const { return run_; }

  // One line for a tag the run wrote and verified. False when it did not reach the disk, with
  // the system's reason in Error().
  bool Append(std::time_t when, const std::string& page, const ListedTag& tag);
  // One line for a tag that refused the run's identity, with its reason. False as Append.
  bool AppendRefused(std::time_t when, const std::string& page, const RefusedTag& tag);
  const std::string& Error() const { return error_; }

  // A log begun by an earlier version, without the status, reason and chip_serial columns. It
  // is continued in its own columns: written tags are added, refused tags are not (their status
  // has no column there).
  bool Earlier() const { return earlier_; }

  // The header line of a format's log, and that of an earlier version's.
  static std::string Header(const IdentityFormat& format);
  static std::string EarlierHeader(const IdentityFormat& format);

 private:
  bool WriteRow(const std::string& head, const std::string& tail);
  void Close();

  const IdentityFormat& format_;
  int fd_ = -1;
  bool regular_ = false;  // a file (locked, read back, synced), not a pipe or a device
  bool earlier_ = false;
  bool numbered_ = false;  // the run's first line is in the file
  std::string path_;
  std::string error_;
  int run_ = 0;
};

}  // namespace rivelo
