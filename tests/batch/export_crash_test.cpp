// An exporting read run killed outright (SIGKILL, a power cut of the process): every identity
// it listed before it died is in the export file, and the file holds whole lines only.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "batch/headless_view.h"
#include "reader/discovery.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"

namespace rivelo {
namespace {

namespace fs = std::filesystem;

std::string Hex10(unsigned n) {
  char text[16];
  std::snprintf(text, sizeof text, "%010X", n);
  return text;
}

void Say(int fd, const std::string& line) {
  const std::string text = line + "\n";
  [[maybe_unused]] const auto n = ::write(fd, text.data(), text.size());
}

// The child: a read run exporting into folder against the virtual reader, through the real
// serial path; each listed identity goes to the pipe, and then another tag is put on the
// reader. It runs until it is killed.
[[noreturn]] void ExportUntilKilled(int out, const std::string& folder) {
  sim::VirtualReader reader;
  unsigned next = 1;
  reader.AddTag("em4100:" + Hex10(next));
  sim::PtyServer server(reader);
  if (!server.Start() || !ConnectDevice({server.Path()}).found) {
    Say(out, "no reader");
    ::_exit(2);
  }
  HeadlessView view(Em4100Format());
  view.keepLines = false;
  view.folders = {folder};
  view.onListed = [&](const ListedTag& tag) {
    Say(out, Em4100Format().text(tag.id, 0));
    const int id = reader.AddTag("em4100:" + Hex10(++next));
    reader.PlaceOnReader(id);
  };
  BatchRunner runner(MakeEm4305IdProfile([] { return RunChoices{}; }), view);
  runner.ContinuousClicked(true);
  runner.IncrementalClicked(true);  // on the Read side: export
  runner.ReadPressed();
  if (!runner.Exporting()) {
    Say(out, "no export");
    ::_exit(2);
  }
  for (;;) runner.Tick(ReadTimer);
}

std::vector<std::string> FileLines(const fs::path& folder) {
  std::vector<std::string> lines;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
      lines.push_back(text.substr(start, end - start));
    if (start != text.size()) lines.push_back("(torn) " + text.substr(start));
  }
  return lines;
}

TEST(ExportCrash, EveryListedIdentityIsInTheFileAfterAKill) {
  for (const int killAfter : {1, 7, 15}) {
    const fs::path folder = fs::temp_directory_path() / ("rivelo_export_crash_" + std::to_string(::getpid()) + "_" +
                                                         std::to_string(killAfter));
    fs::remove_all(folder);
    fs::create_directories(folder);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(pipeFds[0]);
      ExportUntilKilled(pipeFds[1], folder.string());
    }
    ::close(pipeFds[1]);

    // Killed the moment the killAfter-th identity is listed; whatever it listed before it died
    // is still in the pipe.
    FILE* in = ::fdopen(pipeFds[0], "r");
    ASSERT_NE(in, nullptr);
    std::vector<std::string> listed;
    char buf[128];
    bool killed = false;
    while (std::fgets(buf, sizeof buf, in)) {
      std::string line(buf);
      if (!line.empty() && line.back() == '\n') line.pop_back();
      listed.push_back(line);
      if (!killed && static_cast<int>(listed.size()) >= killAfter) {
        ::kill(child, SIGKILL);
        killed = true;
      }
    }
    std::fclose(in);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << (listed.empty() ? "" : listed.back());
    ASSERT_GE(static_cast<int>(listed.size()), killAfter);

    const std::vector<std::string> file = FileLines(folder);
    const std::set<std::string> inFile(file.begin(), file.end());
    for (const std::string& id : listed) EXPECT_TRUE(inFile.count(id)) << id << " was listed but is not in the file";
    // At most the one identity that was written but not yet listed when the kill came.
    EXPECT_LE(file.size(), listed.size() + 1);
    for (std::size_t i = 0; i < file.size(); ++i) EXPECT_EQ(file[i], Hex10(static_cast<unsigned>(i + 1)));
    fs::remove_all(folder);
  }
}

}  // namespace
}  // namespace rivelo
