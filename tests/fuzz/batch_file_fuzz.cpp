// A whole batch file, written to a scratch file and loaded for every identity format. A
// file is loaded whole or refused with a reason; a loaded file holds one identity for each
// line that is not blank, each the one its line stands for; a refused line is one the
// format's parser refuses, with that parser's reason.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "batch/batch_files.h"
#include "batch/format_table.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rivelo;

namespace {

const std::string& ScratchPath() {
  static const std::string path = [] {
    // Memory-backed where there is one: opening files on a disk costs milliseconds.
    const std::filesystem::path shm = "/dev/shm";
    const auto dir = std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
    const auto p = dir / ("rivelo-fuzz-batch-" + std::to_string(getpid()) + ".txt");
    return p.string();
  }();
  return path;
}

bool Blank(std::string_view line) { return line.find_first_not_of(" \t\v\f") == std::string_view::npos; }

// The lines that must become identities: a UTF-8 mark dropped, LF or CR LF ends, blanks skipped.
std::size_t IdentityLines(std::string_view content) {
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
  std::size_t n = 0;
  while (!content.empty()) {
    const std::size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!Blank(line)) ++n;
  }
  return n;
}

void CheckLoad(const IdentityFormat& format, std::string_view content) {
  const BatchFile file = LoadBatchFile(ScratchPath(), format);
  FUZZ_CHECK(file.ok() == DescribeBatchFileError(file).empty());
  const bool utf16 = content.starts_with("\xFF\xFE") || content.starts_with("\xFE\xFF");
  FUZZ_CHECK((file.error == BatchFileError::Utf16) == utf16);
  FUZZ_CHECK((file.error == BatchFileError::Binary) == (!utf16 && content.find('\0') != std::string_view::npos));
  if (file.error == BatchFileError::BadLine) {
    const LineParse parsed = format.parseLine(file.text);
    FUZZ_CHECK(!parsed.id && parsed.error == file.lineError && file.lineError != LineError::None);
    FUZZ_CHECK(file.line >= 1 && file.text.find('\n') == std::string::npos);
  }
  if (!file.ok()) {
    FUZZ_CHECK(file.ids.empty() && file.lines.empty());
    return;
  }
  FUZZ_CHECK(file.ids.size() == IdentityLines(content));
  FUZZ_CHECK(file.lines.size() == file.ids.size() && file.lineNumbers.size() == file.ids.size());
  for (std::size_t i = 0; i < file.ids.size(); ++i) {
    const std::string& line = file.lines[i];
    FUZZ_CHECK(line.find('\n') == std::string::npos && !Blank(line));
    const LineParse parsed = format.parseLine(line);
    FUZZ_CHECK(parsed.id && *parsed.id == file.ids[i] && file.ids[i].size() == format.length);
    FUZZ_CHECK(file.lineNumbers[i] >= 1 && (i == 0 || file.lineNumbers[i] > file.lineNumbers[i - 1]));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(ScratchPath().c_str(), "wb");
  FUZZ_CHECK(f != nullptr);
  FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, f) == size);
  FUZZ_CHECK(std::fclose(f) == 0);
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  for (const FormatEntry& entry : FormatTable()) CheckLoad(*entry.format, content);
  // Removed at once: libFuzzer ends without running exit handlers.
  std::remove(ScratchPath().c_str());
  return 0;
}
