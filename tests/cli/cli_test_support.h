// Running rivelo in the test process, with its output captured line by line.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/rivelo.h"

namespace rivelo::test {

// An output stream that keeps what is written and calls onLine with each whole line as it
// is completed, so that a test can act in the middle of a run.
class LineStream : public std::ostream {
 public:
  LineStream() : std::ostream(nullptr) {
    buf_.owner = this;
    rdbuf(&buf_);
  }
  std::function<void(const std::string&)> onLine;
  std::string Text() const { return buf_.all; }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream text(buf_.all);
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }

 private:
  struct Buf : std::streambuf {
    LineStream* owner = nullptr;
    std::string all, line;
    int_type overflow(int_type c) override {
      if (c == traits_type::eof()) return traits_type::not_eof(c);
      all += static_cast<char>(c);
      if (c == '\n') {
        const std::string done = line;
        line.clear();
        if (owner->onLine) owner->onLine(done);
      } else {
        line += static_cast<char>(c);
      }
      return c;
    }
  };
  Buf buf_;
};

struct Outcome {
  int code = -1;
  std::vector<std::string> out;
  std::vector<std::string> err;
  std::string errText;
};

// Runs rivelo with these arguments; onOut sees each line of standard output as it comes.
// With reader, --simulate serves it, and the test can look at its tags afterwards.
inline Outcome Rivelo(const std::vector<std::string>& args, std::function<void(const std::string&)> onOut = {},
                      sim::VirtualReader* reader = nullptr) {
  LineStream out, err;
  out.onLine = std::move(onOut);
  Outcome o;
  o.code = cli::RunRivelo(args, out, err, reader);
  o.out = out.Lines();
  o.err = err.Lines();
  o.errText = err.Text();
  return o;
}

// Standard input taken off the terminal, as under a pipe or a cron job, while it lives.
class NoTerminal {
 public:
  NoTerminal();
  ~NoTerminal();
  NoTerminal(const NoTerminal&) = delete;
  NoTerminal& operator=(const NoTerminal&) = delete;

 private:
  int saved_;
};

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  explicit TempDir(const std::string& name);
  ~TempDir() { std::filesystem::remove_all(path_); }
  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

}  // namespace rivelo::test
