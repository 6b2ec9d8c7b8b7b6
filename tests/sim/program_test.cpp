// rivelo-sim as a program: the final state it writes when it is stopped, and its refusals.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "test_frames.h"

extern char** environ;

namespace rivelo::simtest {
namespace {

namespace fs = std::filesystem;

struct Program {
  pid_t pid = -1;
  int out = -1;  // its standard output
  int err = -1;  // its standard error
};

Program Start(const std::vector<std::string>& args) {
  std::vector<std::string> all{RIVELO_SIM_PROGRAM};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  int outPipe[2], errPipe[2];
  EXPECT_EQ(::pipe(outPipe), 0);
  EXPECT_EQ(::pipe(errPipe), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  posix_spawn_file_actions_addclose(&actions, outPipe[0]);
  posix_spawn_file_actions_addclose(&actions, errPipe[0]);
  Program p;
  EXPECT_EQ(posix_spawn(&p.pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  p.out = outPipe[0];
  p.err = errPipe[0];
  return p;
}

// Reads fd until it closes (or 10 s pass).
std::string ReadAll(int fd) {
  std::string s;
  char buf[4096];
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) break;
    s.append(buf, static_cast<std::size_t>(n));
  }
  return s;
}

std::string ReadLine(int fd) {
  std::string s;
  char c = 0;
  while (::read(fd, &c, 1) == 1 && c != '\n') s += c;
  return s;
}

int Wait(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One exchange with the program through its terminal; the reply's raw bytes.
Bytes Exchange(int fd, const Bytes& request) {
  EXPECT_EQ(::write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
  Bytes reply;
  std::uint8_t buf[256];
  pollfd p{fd, POLLIN, 0};
  while (::poll(&p, 1, reply.empty() ? 2000 : 50) > 0) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) break;
    reply.insert(reply.end(), buf, buf + n);
  }
  return reply;
}

TEST(Program, WritesTheFinalStateWhenStopped) {
  const fs::path state = fs::temp_directory_path() / ("rivelo_sim_state_" + std::to_string(::getpid()));
  fs::remove(state);
  // A link planted under the temporary's name is passed over, its target left alone.
  const fs::path planted = state.string() + ".part", target = state.string() + ".target";
  std::ofstream(target) << "keep";
  fs::create_symlink(target, planted);
  Program p = Start({"--feed", "em4305:2", "--dwell-reads", "1", "--state", state.string(), "--no-pacing", "--fault",
                     "lift-after-write:0"});
  const std::string path = ReadLine(p.out);
  ASSERT_FALSE(path.empty());
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0) << path;
  termios tio{};
  ::tcgetattr(fd, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(fd, TCSANOW, &tio);
  EXPECT_TRUE(ParseReply(Exchange(fd, RequestFrame(0x30C, Hex("00 01 23 45 67 89")))).valid);
  EXPECT_TRUE(ParseReply(Exchange(fd, RequestFrame(0x103, {10}))).valid);
  EXPECT_EQ(ParseReply(Exchange(fd, RequestFrame(0x10C, {}))).payload, Hex("01 23 45 67 89"));
  ::close(fd);
  ::kill(p.pid, SIGTERM);
  EXPECT_EQ(Wait(p.pid), 0);
  std::ifstream in(state);
  std::stringstream text;
  text << in.rdbuf();
  const std::string s = text.str();
  EXPECT_NE(s.find("virtual reader: 2 tags"), std::string::npos) << s;
  EXPECT_NE(s.find("tag 1 em4305 fed\n  em4100 0123456789\n  written 1 times"), std::string::npos) << s;
  EXPECT_NE(s.find("tag 2 em4305 fed on-reader\n  reads as: no identity\n"), std::string::npos) << s;
  EXPECT_NE(s.find("  word 5 "), std::string::npos) << s;
  EXPECT_TRUE(fs::is_symlink(planted));
  EXPECT_FALSE(fs::exists(state.string() + ".part-1"));
  std::ifstream kept(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
  for (const fs::path& f : {state, planted, target}) fs::remove(f);
  ::close(p.out);
  ::close(p.err);
}

TEST(Program, StateGoesToStandardErrorWithoutAFileAndOnSigint) {
  Program p = Start({"--tag", "fdxb:999:112233", "--no-pacing"});
  ASSERT_FALSE(ReadLine(p.out).empty());
  ::kill(p.pid, SIGINT);
  const std::string err = ReadAll(p.err);
  EXPECT_EQ(Wait(p.pid), 0);
  EXPECT_NE(err.find("  fdxb country 999 national 000000112233 trailer 0 animal\n"), std::string::npos) << err;
  ::close(p.out);
  ::close(p.err);
}

// Refused before serving: a number out of range, and a --state place that the final state could
// not go to, or could only go to by following a link or replacing a device or a pipe.
TEST(Program, RefusesBadArgumentsAndStatePlacesBeforeServing) {
  const fs::path dir = fs::temp_directory_path() / ("rivelo_sim_places_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::ofstream(dir / "target") << "keep";
  fs::create_symlink(dir / "target", dir / "link");
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--radio-timing", "--fault", "late", "--late-ms", "2147483647"},
       "--late-ms wants milliseconds from 0 to 60000, not '2147483647'"},
      {{"--state", "/dev/null"}, "/dev/null is not a regular file"},
      {{"--state", (dir / "fifo").string()}, "fifo is not a regular file"},
      {{"--state", (dir / "link").string()}, "link is a symbolic link"},
      {{"--state", (dir / "none" / "state").string()}, "No such file or directory"},
  };
  for (const auto& [args, why] : refused) {
    Program p = Start(args);
    const std::string out = ReadAll(p.out);
    const std::string err = ReadAll(p.err);
    EXPECT_EQ(Wait(p.pid), 2) << args[1];
    EXPECT_TRUE(out.empty()) << out;
    EXPECT_NE(err.find(why), std::string::npos) << err;
    ::close(p.out);
    ::close(p.err);
  }
  EXPECT_TRUE(fs::is_character_file("/dev/null") && fs::is_fifo(dir / "fifo") && fs::is_symlink(dir / "link"));
  std::ifstream kept(dir / "target");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 3) << "no temporary left behind";
  fs::remove_all(dir);
}

}  // namespace
}  // namespace rivelo::simtest
