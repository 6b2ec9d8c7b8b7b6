// The JSON lines of --json: strings escaped so that any text gives valid JSON, and the time
// stamp's form.
#include <gtest/gtest.h>

#include <regex>

#include "cli/json_lines.h"
#include "model/em4100.h"

namespace rivelo {
namespace {

using cli::JsonString;

TEST(Json, StringsAreEscaped) {
  EXPECT_EQ(JsonString("COM5"), "\"COM5\"");
  EXPECT_EQ(JsonString("C:\\ports\\\"x\""), "\"C:\\\\ports\\\\\\\"x\\\"\"");
  EXPECT_EQ(JsonString(std::string("a\nb\tc\x01\x1f\x7f", 8)), "\"a\\nb\\tc\\u0001\\u001f\\u007f\"");
  EXPECT_EQ(JsonString(std::string("\0", 1)), "\"\\u0000\"");
  // UTF-8 passes as it is; bytes that are no UTF-8 (a truncated sequence, an overlong form,
  // a lone continuation byte) are escaped one by one.
  EXPECT_EQ(JsonString("读卡 é"), "\"读卡 é\"");
  EXPECT_EQ(JsonString("\xE8\xAF"), "\"\\u00e8\\u00af\"");
  EXPECT_EQ(JsonString("\xC0\xAF"), "\"\\u00c0\\u00af\"");
  EXPECT_EQ(JsonString("\x80x"), "\"\\u0080x\"");
  EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\\u00ed\\u00a0\\u0080\"");  // a surrogate
}

TEST(Json, TimeIsIso8601WithTheOffset) {
  const auto when = std::chrono::system_clock::from_time_t(1700000000) + std::chrono::milliseconds(7);
  const std::string text = cli::IsoLocalTime(when);
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.007[+-]\d\d:\d\d)"))) << text;
}

TEST(Json, ATagHoldsEveryFormAndItsChip) {
  const Identity id{0x01, 0x23, 0x45, 0x67, 0x89};
  const auto when = std::chrono::system_clock::now();
  const std::string written = cli::TagJson(Em4100Format(), ListedTag{7, id, "EM4305", 0, "A7884DC2"}, when);
  EXPECT_EQ(
      written.rfind("{\"number\":7,\"format\":\"em4100\",\"id\":{\"10H\":\"0123456789\",\"08H\":\"0591751049\","
                    "\"06H\":\"0004548489\",\"02H04H\":\"06926505\",\"13D\":\"0004886718345\"},\"chip\":\"EM4305\","
                    "\"chip_serial\":\"A7884DC2\",\"time\":\"",
                    0),
      0u)
      << written;
  EXPECT_NE(cli::TagJson(Em4100Format(), ListedTag{1, id, nullptr}, when).find("\"chip\":null"), std::string::npos);
}

}  // namespace
}  // namespace rivelo
