// The FDX-B read that runs, pages and the command line use, fed replies through the port's
// exchange hook.
#include <gtest/gtest.h>

#include <algorithm>

#include "batch/fdxb_profile.h"
#include "reader/commands.h"
#include "tests/reader/fake_device.h"

namespace rivelo {
namespace {

class FdxbRead : public ::testing::Test {
 protected:
  void SetUp() override {
    PortAt(ReaderPortIndex)->SetExchangeHook([this](std::span<const std::uint8_t>, std::span<std::uint8_t> out, int* n) {
      const std::size_t k = std::min(out.size(), reply_.size());
      std::copy_n(reply_.begin(), k, out.begin());
      *n = static_cast<int>(k);
      return 1;
    });
  }
  void TearDown() override { PortAt(ReaderPortIndex)->SetExchangeHook(nullptr); }

  // The reply to 0x10B with the record national (5), country (2), flags 01 01, trailer (3).
  ReadOutcome Read(const test::Bytes& national, const test::Bytes& country, const test::Bytes& trailer) {
    test::Bytes record = national;
    record.insert(record.end(), country.begin(), country.end());
    record.insert(record.end(), {0x01, 0x01});
    record.insert(record.end(), trailer.begin(), trailer.end());
    reply_ = test::WireReply(CodeReadFdxb, 0, record);
    id_ = {0x5C};
    return ReadFdxbTag(&id_);
  }

  test::Bytes reply_;
  Identity id_;
};

TEST_F(FdxbRead, TheWidestNumbersATagHoldsAreRead) {
  ASSERT_EQ(Read({0x3F, 0xFF, 0xFF, 0xFF, 0xFF}, {0x03, 0xFF}, {0xFF, 0xFF, 0xFF}), ReadOutcome::Found);
  EXPECT_EQ(id_, (Identity{0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(LastReplyFailure(), ReplyFailure::None);
}

TEST_F(FdxbRead, NumbersNoTagHoldsAreNoValidReply) {
  // A 39-bit national code (13 digits) and an 11-bit country code (its line keeps 4 digits of
  // 65535) would be listed and exported as other identities.
  EXPECT_EQ(Read({0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {0x03, 0xE7}, {0, 0, 0}), ReadOutcome::NoReply);
  EXPECT_EQ(LastReplyFailure(), ReplyFailure::Malformed);
  EXPECT_EQ(id_, Identity{0x5C});
  EXPECT_EQ(Read({0x40, 0, 0, 0, 0}, {0x03, 0xE7}, {0, 0, 0}), ReadOutcome::NoReply);
  EXPECT_EQ(Read({0, 0, 0, 0, 1}, {0xFF, 0xFF}, {0, 0, 0}), ReadOutcome::NoReply);
  EXPECT_EQ(Read({0, 0, 0, 0, 1}, {0x04, 0x00}, {0, 0, 0}), ReadOutcome::NoReply);
  EXPECT_EQ(id_, Identity{0x5C});
}

}  // namespace
}  // namespace rivelo
