#include "app/LaunchParams.h"

#include <gtest/gtest.h>

using namespace tovrik::app;

TEST(GetTokenValue, FindsKeysAnywhereIgnoringCase) {
  struct Case {
    const char* data;
    const char* name;
    int found;
    const char* value;
  };
  const Case cases[] = {
      {"site=x|GROUP=7", "group", 1, "7"},
      {"group=3", "group", 1, "3"},
      {"group=|site=x", "group", 1, ""},
      {"subgroup=5", "group", 1, "5"},        // a key that ends another name matches too
      {"site=x|Group=12|group=4", "group", 1, "12"},  // the first occurrence wins
      {"site=a|b", "site", 1, "a"},
      {"site=x", "group", 0, ""},
      {"", "group", 0, ""},
      {"group", "group", 0, ""},              // no "=" after the name
      {"gr=1|oup=2", "group", 0, ""},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(GetTokenValue(c.data, c.name, out), c.found) << c.data;
    if (c.found) {
      EXPECT_EQ(out, c.value) << c.data;
    }
  }
}

TEST(GetTokenValue, CutsValuesAt1023Characters) {
  std::string data = "group=" + std::string(2000, '9') + "|x=1";
  std::string out;
  ASSERT_EQ(GetTokenValue(data, "group", out), 1);
  EXPECT_EQ(out.size(), kTokenValueMax);
}

TEST(GetGroupNo_BySpareParam, ConvertsLikeAPlainDecimalConversion) {
  struct Case {
    const char* spare;
    int group;
  };
  const Case cases[] = {
      {"site=x|GROUP=7", 7}, {"group=|site=x", 0}, {"subgroup=5", 5}, {"site=x", -1},   {"", -1},
      {"group=12abc", 12},   {"group=abc", 0},     {"group=-3", -3},  {"group= 42", 42},
      {"group=99999999999999", 2147483647},
  };
  for (const Case& c : cases) EXPECT_EQ(GetGroupNo_BySpareParam(c.spare), c.group) << c.spare;
}
