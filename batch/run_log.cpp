#include "batch/run_log.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

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

std::string RunLog::Header(const IdentityFormat& format) {
  std::string header = "time,page,chip,run,file_line";
  for (const IdentityForm& form : format.forms) header += "," + CsvField(form.key);
  return header;
}

bool RunLog::Open(const std::string& path, std::string* why) {
  file_.Close();
  path_ = path;
  lastRun_ = 0;
  run_ = 0;
  const std::string header = Header(format_);
  bool needsHeader = true;
  bool endsInLine = true;
  // Only a regular file is read back: a pipe or a device (a log sent to standard output) has
  // nothing to read, or never ends.
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (in && std::getline(in, line)) {
      if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
      StripLineEnd(line);
      if (line != header) {
        if (why) *why = "it holds another kind of log (its first line is not \"" + header + "\")";
        return false;
      }
      needsHeader = false;
      endsInLine = !in.eof();
      while (std::getline(in, line)) {
        endsInLine = !in.eof();
        StripLineEnd(line);
        const std::vector<std::string> fields = SplitCsv(line);
        if (fields.size() < 4) continue;
        int run = 0;
        const std::string& text = fields[3];
        const auto result = std::from_chars(text.data(), text.data() + text.size(), run);
        if (result.ec == std::errc() && run > lastRun_) lastRun_ = run;
      }
    }
  }
  if (!file_.Open(path, why)) return false;
  // A line cut off by a crash is ended, so that the next record starts on its own line.
  if (!endsInLine && !file_.WriteLine("")) {
    if (why) *why = std::strerror(errno);
    file_.Close();
    return false;
  }
  if (needsHeader && !file_.WriteLine(header)) {
    if (why) *why = std::strerror(errno);
    file_.Close();
    return false;
  }
  return true;
}

int RunLog::StartRun() {
  run_ = ++lastRun_;
  return run_;
}

bool RunLog::Append(std::time_t when, const std::string& page, const ListedTag& tag) {
  std::string line = RunLogTime(when) + "," + CsvField(page) + "," + CsvField(tag.chip ? tag.chip : "") + "," +
                     std::to_string(run_) + "," + (tag.fileLine > 0 ? std::to_string(tag.fileLine) : "");
  for (std::size_t form = 0; form < format_.forms.size(); ++form) line += "," + CsvField(format_.text(tag.id, form));
  return file_.WriteLine(line);
}

bool RunLog::AppendRefused(std::time_t, const std::string&, const RefusedTag&) { return true; }

}  // namespace rivelo
