#include "tests/cli/cli_test_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>

namespace rivelo::test {

TempDir::TempDir(const std::string& name)
    : path_(std::filesystem::temp_directory_path() / ("rivelo_" + name + "_" + std::to_string(::getpid()))) {
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

NoTerminal::NoTerminal() : saved_(dup(STDIN_FILENO)) {
  const int null = open("/dev/null", O_RDONLY);
  dup2(null, STDIN_FILENO);
  close(null);
}

NoTerminal::~NoTerminal() {
  dup2(saved_, STDIN_FILENO);
  close(saved_);
}

std::string TempDir::File(const std::string& name, const std::string& content) const {
  const auto path = path_ / name;
  std::ofstream(path, std::ios::binary) << content;
  return path.string();
}

}  // namespace rivelo::test
