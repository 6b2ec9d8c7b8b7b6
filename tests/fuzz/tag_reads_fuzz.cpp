// Each identity format's read, fed any reply through the port's exchange hook. Input: a byte
// choosing the read, then the reply burst. An identity the read calls found must be one its
// format can list and export faithfully: the batch line it is exported as loads back as the
// same identity, so a run never lists or exports a number other than the one it read.
#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

#include "batch/em4100_profile.h"
#include "batch/fdxb_profile.h"
#include "reader/commands.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rivelo;

namespace {

std::span<const std::uint8_t> reply;

int FakeExchange(std::span<const std::uint8_t>, std::span<std::uint8_t> out, int* length) {
  const std::size_t n = std::min(out.size(), reply.size());
  std::copy_n(reply.begin(), n, out.begin());
  *length = static_cast<int>(n);
  return 1;
}

struct Read {
  ReadOutcome (*read)(Identity*);
  const IdentityFormat& format;
  const char* lineForm;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const bool hooked = [] {
    PortAt(ReaderPortIndex)->SetExchangeHook(FakeExchange);
    return true;
  }();
  (void)hooked;
  static const std::vector<Read> reads{{ReadEm4100Tag, Em4100Format(), "13D"}, {ReadFdxbTag, FdxbFormat(), "24D"}};
  const Read& r = reads[data[0] % reads.size()];
  reply = std::span<const std::uint8_t>(data + 1, size - 1);
  Identity id{0x5C};
  const ReadOutcome outcome = r.read(&id);
  if (outcome != ReadOutcome::Found) {
    FUZZ_CHECK(id == Identity{0x5C});
    return 0;
  }
  FUZZ_CHECK(id.size() == r.format.length);
  FUZZ_CHECK(LastReplyFailure() == ReplyFailure::None);
  const auto form = FindForm(r.format, r.lineForm);
  FUZZ_CHECK(form.has_value());
  const LineParse again = r.format.parseLine(r.format.text(id, *form));
  FUZZ_CHECK(again.id.has_value() && *again.id == id);
  return 0;
}
