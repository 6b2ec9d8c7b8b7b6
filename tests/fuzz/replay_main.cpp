// Runs a fuzz target over files and folders of inputs, for builds without libFuzzer: the
// seed corpus becomes an ordinary test under every compiler and sanitizer. Options in
// libFuzzer's -name=value form are ignored, so one command line serves both builds.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_check.h"

namespace fs = std::filesystem;

namespace {

bool RunFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
    return false;
  }
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // A copy of exactly the input's size, so that a read past its end is a sanitizer finding.
  std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int run = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.starts_with("-")) continue;
    std::vector<fs::path> files;
    if (fs::is_directory(arg)) {
      for (const auto& entry : fs::recursive_directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
    } else {
      files.emplace_back(arg);
    }
    for (const fs::path& f : files) {
      if (!RunFile(f)) return 1;
      ++run;
    }
  }
  std::printf("%d inputs run\n", run);
  // No input at all is a wrong path, not a pass.
  return run > 0 ? 0 : 1;
}
