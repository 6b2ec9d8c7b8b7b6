// Ports are left as they were found: a terminal scanned by mistake keeps its echo and line
// editing. And a port whose device goes away is told apart from a reader that is silent.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "reader/commands.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "tests/reader/fake_device.h"

namespace rivelo {
namespace {

using test::Bytes;
using test::FakeDevice;
using test::WireReply;

// A terminal in the mode an interactive shell leaves it: cooked, echoing, 9600 baud.
termios CookedMode() {
  termios t{};
  t.c_iflag = ICRNL | IXON | BRKINT;
  t.c_oflag = OPOST | ONLCR;
  t.c_cflag = CS8 | CREAD | HUPCL;
  t.c_lflag = ICANON | ECHO | ECHOE | ECHOK | ISIG | IEXTEN;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  t.c_cc[VINTR] = 3;
  t.c_cc[VERASE] = 127;
  cfsetispeed(&t, B9600);
  cfsetospeed(&t, B9600);
  return t;
}

// The settings that matter to a person at the terminal.
::testing::AssertionResult SameMode(int fd, const termios& want) {
  termios now{};
  if (tcgetattr(fd, &now) != 0) return ::testing::AssertionFailure() << "tcgetattr failed";
  if (now.c_iflag != want.c_iflag || now.c_oflag != want.c_oflag || now.c_lflag != want.c_lflag ||
      (now.c_cflag & (CSIZE | PARENB | CSTOPB | CREAD)) != (want.c_cflag & (CSIZE | PARENB | CSTOPB | CREAD)) ||
      cfgetospeed(&now) != cfgetospeed(&want) || now.c_cc[VMIN] != want.c_cc[VMIN] ||
      now.c_cc[VINTR] != want.c_cc[VINTR])
    return ::testing::AssertionFailure() << "lflag " << std::hex << now.c_lflag << " want " << want.c_lflag
                                         << ", iflag " << now.c_iflag << " want " << want.c_iflag;
  return ::testing::AssertionSuccess();
}

bool IsRaw(int fd) {
  termios now{};
  return tcgetattr(fd, &now) == 0 && (now.c_lflag & (ICANON | ECHO)) == 0;
}

// A pseudo-terminal nobody answers on, its slave in cooked mode, as a login terminal is.
class CookedTerminal {
 public:
  CookedTerminal() {
    termios mode = CookedMode();
    char name[256];
    if (openpty(&master_, &slave_, name, &mode, nullptr) == 0) path_ = name;
  }
  ~CookedTerminal() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
  }
  const std::string& Path() const { return path_; }
  int Slave() const { return slave_; }
  void HangUp() {
    close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1, slave_ = -1;
  std::string path_;
};

class PortRestore : public ::testing::Test {
 protected:
  void TearDown() override { DisconnectDevice(); }
};

TEST_F(PortRestore, AScanLeavesATerminalAsItFoundIt) {
  CookedTerminal tty;
  ASSERT_FALSE(tty.Path().empty());
  ASSERT_TRUE(SameMode(tty.Slave(), CookedMode()));

  // Raw while held, as it was before closing.
  OsSerial port;
  ASSERT_TRUE(port.Open(tty.Path(), ReaderBaudRate));
  EXPECT_TRUE(IsRaw(tty.Slave()));
  EXPECT_EQ(port.Close(), 1);
  EXPECT_TRUE(SameMode(tty.Slave(), CookedMode()));

  // The scan's failure path: nothing answers, and the terminal gets its mode back.
  const ConnectResult r = ConnectDevice({tty.Path()});
  EXPECT_FALSE(r.found);
  ASSERT_EQ(r.refused.size(), 1u);
  EXPECT_EQ(r.refused[0].reply, ReplyFailure::Silent);
  EXPECT_TRUE(SameMode(tty.Slave(), CookedMode()));

  // Opening again over an open handle restores before taking the port anew.
  CMyComm comm;
  ASSERT_EQ(comm.Open(tty.Path(), ReaderBaudRate), 1);
  ASSERT_EQ(comm.Open(tty.Path(), ReaderBaudRate), 1);
  comm.Close();
  EXPECT_TRUE(SameMode(tty.Slave(), CookedMode()));
}

TEST_F(PortRestore, AReaderLeftConnectedIsRestoredOnDisconnectAndAtExit) {
  FakeDevice device;
  // The device's terminal set to a cooked mode by someone else before the scan.
  const int fd = open(device.Path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  const termios cooked = CookedMode();
  ASSERT_EQ(tcsetattr(fd, TCSANOW, &cooked), 0);

  device.Script(WireReply(0x102, 0, Bytes(ReaderIdText, ReaderIdText + 23)));
  ASSERT_TRUE(ConnectDevice({device.Path()}).found);
  EXPECT_TRUE(IsRaw(fd));
  DisconnectDevice();
  EXPECT_TRUE(SameMode(fd, cooked));

  // A program that ends with the port still open (slot 0 closes with the port table).
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int opened = PortTable[0].Open(device.Path(), ReaderBaudRate);
    std::exit(opened == 1 && IsRaw(fd) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(SameMode(fd, cooked));
  close(fd);
}

TEST_F(PortRestore, APortThatGoesAwayIsNotASilentReader) {
  // Silent: the exchange succeeds with nothing received.
  FakeDevice silent;
  CMyComm comm;
  ASSERT_EQ(comm.Open(silent.Path(), ReaderBaudRate), 1);
  silent.Script(std::nullopt);
  std::uint8_t reply[64];
  int length = -1;
  const std::uint8_t request[] = {0xAA, 0xDD, 0x00, 0x03, 0x01, 0x02, 0x03};
  comm.SetReadLength(50, 0);
  EXPECT_EQ(comm.Transact(request, reply, &length), 1);
  EXPECT_FALSE(comm.PortGone());
  EXPECT_EQ(comm.PortName(), silent.Path());

  // Gone: the far end hangs up, as an unplugged adapter's terminal does. The exchange fails
  // at once instead of waiting its read budget, and keeps failing.
  CookedTerminal tty;
  ASSERT_EQ(comm.Open(tty.Path(), ReaderBaudRate), 1);
  EXPECT_FALSE(comm.PortGone());  // a new handle starts with a clean record
  tty.HangUp();
  for (int i = 0; i < 2; ++i) {
    EXPECT_NE(comm.Transact(request, reply, &length), 1);
    EXPECT_TRUE(comm.PortGone());
  }
  // A closed port reaches no reader either.
  comm.Close();
  comm.Open(silent.Path(), ReaderBaudRate);
  comm.Close();
  EXPECT_NE(comm.Transact(request, reply, &length), 1);
  EXPECT_TRUE(comm.PortGone());
}

}  // namespace
}  // namespace rivelo
