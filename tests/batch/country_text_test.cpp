#include <gtest/gtest.h>

#include "batch/country_text.h"
#include "resources/language.h"

namespace rivelo {
namespace {

TEST(CountryText, BothLanguages) {
  SetLanguage(Language::English);
  EXPECT_EQ(CountryText(250), "France");
  EXPECT_EQ(CountryText(900), "manufacturer code 900");
  EXPECT_EQ(CountryText(999), "test code 999");
  EXPECT_EQ(CountryText(1), "unknown country code 1");
  SetLanguage(Language::Chinese);
  EXPECT_EQ(CountryText(250), "法国");
  EXPECT_EQ(CountryText(985), "制造商代码 985");
  EXPECT_EQ(CountryText(999), "测试代码 999");
  EXPECT_EQ(CountryText(1), "未知国家代码 1");
  SetLanguage(Language::English);
}

}  // namespace
}  // namespace rivelo
