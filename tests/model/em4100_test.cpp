#include <gtest/gtest.h>

#include "model/em4100.h"

namespace rivelo {
namespace {

TEST(Em4100Id, IncrementCarriesAndWraps) {
  Em4100Id id{0, 0, 0, 0, 0xFF};
  IncrementId(id);
  EXPECT_EQ(id, (Em4100Id{0, 0, 0, 1, 0}));
  id = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  IncrementId(id);
  EXPECT_EQ(id, (Em4100Id{}));
  id = {0x01, 0x23, 0x45, 0x67, 0xFF};
  IncrementId(id);
  EXPECT_EQ(id, (Em4100Id{0x01, 0x23, 0x45, 0x68, 0x00}));
}

TEST(Em4100Id, AlignRight5PadsShortValues) {
  const std::uint8_t one[] = {0x1A};
  EXPECT_EQ(AlignRight5(one), (Em4100Id{0, 0, 0, 0, 0x1A}));
  EXPECT_EQ(AlignRight5({}), (Em4100Id{}));
  const std::uint8_t five[] = {1, 2, 3, 4, 5};
  EXPECT_EQ(AlignRight5(five), (Em4100Id{1, 2, 3, 4, 5}));
}

TEST(Em4100Line, IdentitiesThatFilesRelyOn) {
  const auto id = [](std::string_view line) { return ParseEm4100Line(line).id; };
  EXPECT_EQ(id("  42"), (Identity{0, 0, 0, 0, 0x2A}));
  EXPECT_EQ(id("0004886718345"), (Identity{0x01, 0x23, 0x45, 0x67, 0x89}));  // 13-digit export form
  EXPECT_EQ(id("1164413321"), (Identity{0x00, 0x45, 0x67, 0x89, 0x89}));     // 10-digit form
  EXPECT_EQ(id("42\r"), (Identity{0, 0, 0, 0, 0x2A}));
  EXPECT_EQ(id("\t7 "), (Identity{0, 0, 0, 0, 7}));
  EXPECT_EQ(id("1099511627775"), (Identity{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(id("0000000000000000000000001"), (Identity{0, 0, 0, 0, 1}));
}

TEST(Em4100Line, AnythingButAnIdentityIsRefused) {
  const auto error = [](std::string_view line) {
    const LineParse p = ParseEm4100Line(line);
    EXPECT_FALSE(p.id.has_value()) << line;
    return p.error;
  };
  EXPECT_EQ(error("letters"), LineError::NotANumber);
  EXPECT_EQ(error("+5"), LineError::NotANumber);
  EXPECT_EQ(error("-1"), LineError::Negative);
  EXPECT_EQ(error(" -0"), LineError::Negative);
  EXPECT_EQ(error("12abc"), LineError::TrailingText);
  EXPECT_EQ(error("12AB"), LineError::TrailingText);
  EXPECT_EQ(error("12 34"), LineError::TrailingText);
  EXPECT_EQ(error("1099511627776"), LineError::TooLarge);  // 2^40 would wrap to a second 0
  EXPECT_EQ(error("1099511627777"), LineError::TooLarge);
  EXPECT_EQ(error("99999999999999999999999999"), LineError::TooLarge);
}

TEST(Em4100Format, DescriptorMatchesTheModel) {
  const IdentityFormat& f = Em4100Format();
  EXPECT_EQ(f.length, 5u);
  EXPECT_EQ(FindForm(f, "08H"), std::optional<std::size_t>(1));
  EXPECT_FALSE(FindForm(f, "08H---10D").has_value());
  const Identity id{0x01, 0x23, 0x45, 0x67, 0x89};
  EXPECT_EQ(f.text(id, *FindForm(f, "02H04H")), "06926505");
  EXPECT_EQ(f.fromEntry("1A"), (Identity{0, 0, 0, 0, 0x1A}));
  EXPECT_EQ(f.fromEntry(""), (Identity{0, 0, 0, 0, 0}));
  EXPECT_EQ(f.fromEntry("12G4"), Identity{});  // a paste that is no hex stands for no identity
  EXPECT_EQ(f.fromEntry("0123456789AB"), Identity{});  // nor is a longer one cut to five bytes
  Identity top{0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_TRUE(f.increment(top));  // runs always went on at 0
  EXPECT_EQ(top, (Identity{0, 0, 0, 0, 0}));
  const auto fields = f.fields(id);
  ASSERT_EQ(fields.size(), f.forms.size());
  EXPECT_EQ(fields[4], (std::pair<std::string, std::string>{"13D", "0004886718345"}));
}

TEST(Em4100Id, FormTexts) {
  const Em4100Id id{0x01, 0x23, 0x45, 0x67, 0x89};
  EXPECT_EQ(Em4100FormText(id, Em4100Form::Hex10), "0123456789");
  EXPECT_EQ(Em4100FormText(id, Em4100Form::Dec08H), "0591751049");
  EXPECT_EQ(Em4100FormText(id, Em4100Form::Dec06H), "0004548489");
  EXPECT_EQ(Em4100FormText(id, Em4100Form::Split02And04), "06926505");
  const Em4100Id top{0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(Em4100FormText(top, Em4100Form::Dec08H), "4294967295");
  EXPECT_EQ(Em4100FormText(top, Em4100Form::Dec06H), "0016777215");
  EXPECT_EQ(Em4100FormText(top, Em4100Form::Split02And04), "25565535");
  EXPECT_EQ(Em4100FormText(id, Em4100Form::Dec13), "0004886718345");
  const std::uint8_t v[] = {0x00, 0x7B};
  EXPECT_EQ(FormatDecimal(v, 2, 2), "23");
}

}  // namespace
}  // namespace rivelo
