// The EM4100 profile's frames on a real pseudo-terminal: chip order and the lock byte.
#include <gtest/gtest.h>

#include "batch/em4100_profile.h"
#include "reader/commands.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "batch/batch_runner.h"
#include "batch/headless_view.h"
#include "tests/reader/fake_device.h"

namespace rivelo {
namespace {

using test::Bytes;
using test::WireReply;


class Em4100ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(PortTable[0].Open(device_.Path(), ReaderBaudRate), 1);
    DeviceConnected = 1;
  }
  void TearDown() override {
    DeviceConnected = 0;
    ClosePort(0);
  }
  void Reply(int code, std::uint8_t status, const Bytes& payload = {}) {
    device_.Script(WireReply(static_cast<std::uint16_t>(code), status, payload));
  }
  std::vector<int> Codes() {
    std::vector<int> codes;
    for (const auto& r : device_.Requests()) codes.push_back(test::RequestCode(r));
    return codes;
  }

  const Bytes id_{0x01, 0x23, 0x45, 0x67, 0x89};
  test::FakeDevice device_;
  RunChoices choices_;
  HeadlessView view_{Em4100Format()};
  BatchRunner runner_{MakeEm4305IdProfile([this] { return choices_; }), view_};
};

TEST_F(Em4100ProfileTest, VerifiedEm4305WriteSendsNoT5577Command) {
  choices_.lock = 1;
  view_.entered = "0123456789";
  Reply(0x30C, 0);
  Reply(0x10C, 0, id_);
  runner_.WritePressed();
  EXPECT_EQ(Codes(), (std::vector<int>{0x30C, 0x10C}));
  EXPECT_EQ(test::RequestData(device_.Requests()[0]), (Bytes{0x01, 0x01, 0x23, 0x45, 0x67, 0x89}));
  EXPECT_EQ(view_.statuses.back().first, 1);
}

TEST_F(Em4100ProfileTest, UnverifiedEm4305WriteFallsBackToT5577WithTheSameLock) {
  choices_.lock = 1;
  view_.entered = "0123456789";
  Reply(0x30C, 1);        // not an EM4305
  Reply(0x10C, 2);        // nothing readable yet
  Reply(0x20C, 0);
  Reply(0x10C, 0, id_);   // verified
  runner_.WritePressed();
  EXPECT_EQ(Codes(), (std::vector<int>{0x30C, 0x10C, 0x20C, 0x10C}));
  const auto requests = device_.Requests();
  EXPECT_EQ(test::RequestData(requests[0])[0], 1);
  EXPECT_EQ(test::RequestData(requests[2]), (Bytes{0x01, 0x01, 0x23, 0x45, 0x67, 0x89}));
}

TEST_F(Em4100ProfileTest, BatchWritesCarryTheLockFlagToo) {
  choices_.lock = 1;
  view_.entered = "0123456789";
  runner_.ContinuousClicked(true);
  runner_.WritePressed();
  Reply(0x10C, 2);
  Reply(0x10C, 2);  // read the tag: twice
  // Its serial, in the chips' order of trial: no EM4305 word 1, no T5577 page 1. A chip with
  // no readable serial is written on the two reads alone.
  Reply(0x302, 1);
  Reply(0x206, 0);
  Reply(0x208, 1);
  Reply(0x30C, 1);
  Reply(0x10C, 2);
  Reply(0x20C, 0);
  Reply(0x10C, 0, id_);
  Reply(0x103, 0);
  runner_.Tick(ContinuousWriteTimer);
  EXPECT_EQ(Codes(), (std::vector<int>{0x10C, 0x10C, 0x302, 0x206, 0x208, 0x30C, 0x10C, 0x20C, 0x10C, 0x103}));
  const auto requests = device_.Requests();
  EXPECT_EQ(test::RequestData(requests[2]), Bytes{1});
  EXPECT_EQ(test::RequestData(requests[3]), Bytes{3});
  EXPECT_EQ(test::RequestData(requests[5])[0], 1);
  EXPECT_EQ(test::RequestData(requests[7])[0], 1);
  EXPECT_EQ(test::RequestData(requests[9]), Bytes{10});
  EXPECT_EQ(view_.lines.back(), "Number 1;");
}

}  // namespace
}  // namespace rivelo
