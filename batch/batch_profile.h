// What an identity page tells the batch runner about itself: its timer period, how it reads
// and writes a tag, how identities count, step and are written to files, and its texts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rivelo {

using Identity = std::vector<std::uint8_t>;

// Timer identifiers of a page; the page's timer event hands them to BatchRunner::Tick.
enum BatchTimer : int {
  ReadTimer = 1,
  ContinuousWriteTimer = 2,
  IncrementalWriteTimer = 3,
  FileWriteTimer = 4,
  KeyboardTimer = 5,
};

enum class WriteMode { None, Continuous, Incremental, FromFile };

// The page's texts. The count texts hold one %d.
struct BatchTexts {
  std::string fileOpened;    // followed by the path
  std::string fileLoaded;    // %d: lines
  std::string counted;       // %d: RunCounter
  std::string numbered;      // %d: RunCounter, followed by a text
  std::string stop;
  std::string exportStarted; // followed by the path
  std::string notConnected;
  std::string writing;
  std::string reading;
  std::string folderPrompt;
  std::string folderCancelled;
  std::string cannotOpen;
  std::string exportCannotCreate;  // followed by the path and the reason
  std::string exportCannotWrite;   // followed by the path
  std::string writeOk, writeError, readOk, readError;  // single operations
};

struct BatchProfile {
  int periodMs = 300;
  // True when a tag answered; *id then holds idLength bytes.
  std::function<bool(Identity* id)> read;
  // Tried in order; each is followed by a verifying read. Their own results are not used.
  std::vector<std::function<void(const Identity& id)>> writes;
  std::size_t idLength = 5;
  std::function<void(Identity& id)> increment;
  std::function<Identity(const std::string& line)> parseLine;
  std::function<std::string(const Identity& id)> exportLine;
  BatchTexts texts;
};

// Replaces the first %d of format with n.
std::string WithCount(const std::string& format, int n);

}  // namespace rivelo
