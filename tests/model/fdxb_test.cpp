#include <gtest/gtest.h>

#include <string>

#include "model/country_names.h"
#include "model/fdxb.h"

namespace rivelo {
namespace {

FdxbId Make(std::uint64_t national, std::uint64_t country, std::uint64_t trailer) {
  FdxbId id{};
  SetNumber(id, FdxbNumber::National, national);
  SetNumber(id, FdxbNumber::Country, country);
  SetNumber(id, FdxbNumber::Trailer, trailer);
  return id;
}

TEST(FdxbMirror, HexFieldsClampOnlyAFullWidthEntryOverTheMaximum) {
  EXPECT_EQ(MirrorFdxbHex(FdxbNumber::National, "4000000000").own, "3FFFFFFFFF");
  EXPECT_EQ(MirrorFdxbHex(FdxbNumber::National, "4000000000").partner, "274877906943");
  EXPECT_EQ(MirrorFdxbHex(FdxbNumber::National, "400000000").own, "400000000");  // nine digits: 04 00 00 00 00
  EXPECT_EQ(MirrorFdxbHex(FdxbNumber::National, "400000000").partner, "017179869184");
  EXPECT_EQ(MirrorFdxbHex(FdxbNumber::National, "1").partner, "000000000001");
  EXPECT_EQ(MirrorFdxbHex(FdxbNumber::Country, "0400").own, "03FF");
  EXPECT_EQ(MirrorFdxbHex(FdxbNumber::Country, "0400").partner, "1023");
  EXPECT_EQ(MirrorFdxbHex(FdxbNumber::Country, "3FF").own, "3FF");
  EXPECT_EQ(MirrorFdxbHex(FdxbNumber::Country, "3FF").partner, "1023");
  EXPECT_EQ(MirrorFdxbHex(FdxbNumber::Trailer, "FFFFFF").partner, "16777215");
  EXPECT_EQ(MirrorFdxbHex(FdxbNumber::Trailer, "").partner, "");
}

TEST(FdxbMirror, DecimalFieldsClampToTheMaximum) {
  EXPECT_EQ(MirrorFdxbDecimal(FdxbNumber::National, "999999999999").own, "274877906943");
  EXPECT_EQ(MirrorFdxbDecimal(FdxbNumber::National, "999999999999").partner, "3FFFFFFFFF");
  EXPECT_EQ(MirrorFdxbDecimal(FdxbNumber::National, "1").partner, "0000000001");
  EXPECT_EQ(MirrorFdxbDecimal(FdxbNumber::National, "0").partner, "0000000000");
  EXPECT_EQ(MirrorFdxbDecimal(FdxbNumber::Country, "9999").own, "1023");
  EXPECT_EQ(MirrorFdxbDecimal(FdxbNumber::Country, "9999").partner, "03FF");
  EXPECT_EQ(MirrorFdxbDecimal(FdxbNumber::Country, "1023").own, "1023");
  EXPECT_EQ(MirrorFdxbDecimal(FdxbNumber::Trailer, "99999999").own, "16777215");
  EXPECT_EQ(MirrorFdxbDecimal(FdxbNumber::Trailer, "99999999").partner, "FFFFFF");
  EXPECT_EQ(MirrorFdxbDecimal(FdxbNumber::Country, "").partner, "");
  // A clamped text, typed into again, stays where it is.
  const FdxbMirror again = MirrorFdxbDecimal(FdxbNumber::National, "274877906943");
  EXPECT_EQ(again.own, "274877906943");
  EXPECT_EQ(again.partner, "3FFFFFFFFF");
}

TEST(FdxbId, HexFieldsRecordAndIncrement) {
  EXPECT_EQ(FdxbFromHexFields("", "", ""), FdxbId{});
  EXPECT_EQ(FdxbFromHexFields("FFFFFFFFFF", "FFFF", "ABC"), Make(0x3FFFFFFFFF, 0x3FF, 0xABC));
  EXPECT_EQ(FdxbFromHexFields("12", "3G", ""), std::nullopt);
  const FdxbId id = Make(123456789012, 981, 0x0A0B0C);
  const FdxbRecord r = ToRecord(id);
  EXPECT_EQ(r[7], 0x01);
  EXPECT_EQ(r[8], 0x01);
  EXPECT_EQ((std::array<std::uint8_t, 3>{r[9], r[10], r[11]}), (std::array<std::uint8_t, 3>{0x0A, 0x0B, 0x0C}));
  FdxbRecord other = r;
  other[7] = other[8] = 0x77;  // the flag bytes of a read are not part of the identity
  EXPECT_EQ(FromRecord(other), id);

  FdxbId a = Make(0xFF, 999, 5);
  IncrementNationalCode(a);
  EXPECT_EQ(a, Make(0x100, 999, 5));
  FdxbId top = Make(0x3FFFFFFFFF, 999, 5);
  IncrementNationalCode(top);
  EXPECT_EQ(top, Make(0, 999, 5));
  EXPECT_EQ(FdxbFieldsOf(Make(1, 999, 0)),
            (FdxbFields{"0000000001", "03E7", "000000", "000000000001", "0999", "00000000"}));
}

TEST(FdxbLine, WrittenAndReadBack) {
  EXPECT_EQ(FdxbLine(Make(123456789012, 981, 0)), "123456789012098100000000");
  EXPECT_EQ(FdxbIso15(Make(274877906943, 999, 0), " "), "999 274877906943");
  EXPECT_EQ(FdxbIso15(Make(5, 40, 0)), "040000000000005");
  const auto parse = [](std::string_view line) { return ParseFdxbLine(line).id; };
  EXPECT_EQ(parse("000000000001099900000000"), FromFdxbId(Make(1, 999, 0)));
  EXPECT_EQ(parse("5"), FromFdxbId(Make(5, 0, 0)));
  EXPECT_EQ(parse("5\r"), FromFdxbId(Make(5, 0, 0)));
  EXPECT_EQ(parse("0000000000010999"), FromFdxbId(Make(1, 999, 0)));
  const FdxbId any = Make(274877906943, 1023, 16777215);
  EXPECT_EQ(parse(FdxbLine(any)), FromFdxbId(any));
}

TEST(FdxbLine, AnythingButAnIdentityIsRefused) {
  const auto error = [](std::string_view line) { return ParseFdxbLine(line).error; };
  EXPECT_EQ(error("abc"), LineError::NotANumber);
  EXPECT_EQ(error("-1"), LineError::Negative);
  EXPECT_EQ(error("000000000001-99900000000"), LineError::Negative);
  EXPECT_EQ(error("000000000001 99900000000"), LineError::TrailingText);
  EXPECT_EQ(error("12x"), LineError::TrailingText);
  EXPECT_EQ(error("0000000000010999000000001"), LineError::TrailingText);  // 25 digits
  EXPECT_EQ(error("000000000001099916777216"), LineError::TooLarge);     // trailer past 3 bytes
  // Past the field's range, even within its bytes: no read would ever give it back.
  EXPECT_EQ(error("274877906944000000000000"), LineError::TooLarge);
  EXPECT_EQ(error("000000000001102400000000"), LineError::TooLarge);
  EXPECT_EQ(error("0000000000019999"), LineError::TooLarge);
  EXPECT_EQ(error("999274877906943"), LineError::PartLine);  // the 15-digit form is no batch line
  EXPECT_EQ(error("00000000000109990000"), LineError::PartLine);
}

TEST(FdxbFormat, Descriptor) {
  const IdentityFormat& f = FdxbFormat();
  const Identity id = FromFdxbId(Make(274877906943, 999, 0));
  EXPECT_EQ(f.text(id, 0), "274877906943099900000000");
  EXPECT_EQ(f.text(id, *FindForm(f, "15D")), "999274877906943");
  EXPECT_EQ(f.fromEntry(f.text(id, 0)), id);
  Identity next = id;
  f.increment(next);
  EXPECT_EQ(next, FromFdxbId(Make(0, 999, 0)));
}

TEST(CountryNames, KnownManufacturerTestAndUnknownCodes) {
  ASSERT_GT(CountryCount(), 200);  // the build carries the iso-codes table
  const CountryInfo china = CountryOf(156);
  EXPECT_EQ(china.kind, CountryKind::Country);
  EXPECT_EQ(std::string(china.english), "China");
  EXPECT_EQ(std::string(china.chinese), "中国");
  EXPECT_EQ(std::string(CountryOf(250).english), "France");
  EXPECT_EQ(std::string(CountryOf(250).chinese), "法国");
  EXPECT_EQ(CountryOf(900).kind, CountryKind::Manufacturer);
  EXPECT_EQ(CountryOf(998).kind, CountryKind::Manufacturer);
  EXPECT_EQ(CountryOf(999).kind, CountryKind::Test);
  EXPECT_EQ(CountryOf(1).kind, CountryKind::Unknown);
  EXPECT_EQ(CountryOf(1023).kind, CountryKind::Unknown);
  EXPECT_EQ(CountryOf(-1).kind, CountryKind::Unknown);
}

}  // namespace
}  // namespace rivelo
