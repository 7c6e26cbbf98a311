#include "PortalSandbox.h"

#include "portal/BadFilterLoader.h"
#include "portal/PortalExports.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <array>

using namespace tovrik::portal;

namespace {

// Chat text travels in code page 949; the tests write it in UTF-8.
std::string Cp949(std::string_view utf8) {
  iconv_t cd = iconv_open("CP949", "UTF-8");
  std::string out(utf8.size() * 2 + 1, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size(), outLeft = out.size();
  char* dst = out.data();
  iconv(cd, &in, &inLeft, &dst, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

constexpr char kWords[] =
    "TOVRIK-BADFILTER 1\n"
    "# test list\n"
    "병신\n"
    "  fuck  \n"
    "\n"
    "shit\n"
    "bad word\n"
    "abc\n"
    "bcd\n";

class BadFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    portal_.InstallBuilt("BadFilterDLL.so");
    portal_.WriteFile("filter.bcd", kWords);
    ASSERT_EQ(filter_.InitFilter(portal_.common()), BADFILTER_OK);
  }
  std::pair<int, std::string> Filter(const std::string& text, size_t size = 512) {
    std::vector<char> out(size, '?');
    int result = filter_.IsBadToRep(text, out, '*');
    return {result, std::string(out.data())};
  }
  PortalSandbox portal_;
  CBadFilterLoader filter_;
};

TEST_F(BadFilterTest, MasksEveryByteOfEachWord) {
  struct Case {
    const char* text;
    int result;
    const char* expected;
  };
  const Case cases[] = {
      {"안녕하세요", 0, "안녕하세요"},
      {"이 병신아", 1, "이 ****아"},          // a two-byte syllable becomes "**"
      {"FuCk you", 1, "**** you"},            // Latin letters in either case
      {"SHIT!shit", 1, "****!****"},
      {"a bad word here", 1, "a ******** here"},
      {"xabcdx", 1, "x****x"},                // overlapping words are both masked
      {"fuc k", 0, "fuc k"},
      {"병신fuck병", 1, "********병"},
  };
  for (const Case& c : cases) {
    auto [result, out] = Filter(Cp949(c.text));
    EXPECT_EQ(result, c.result) << c.text;
    EXPECT_EQ(out, Cp949(c.expected)) << c.text;
  }
}

TEST_F(BadFilterTest, SecondByteOfASyllableNeverStartsOrJoinsAMatch) {
  // 0x81 0x73 is one CP949 syllable whose second byte is the letter 's'.
  std::string text = "\x81shit";
  EXPECT_EQ(Filter(text), std::make_pair(0, text));
  text = "\x81sshit";
  EXPECT_EQ(Filter(text), std::make_pair(1, std::string("\x81s****")));
}

TEST_F(BadFilterTest, NeverWritesPastTheBuffer) {
  std::array<char, 12> buffer;
  buffer.fill('#');
  std::span<char> out(buffer.data() + 1, 10);  // guard bytes on both sides
  EXPECT_EQ(filter_.IsBadToRep("fuck fuck fuck", out, '*'), 1);
  EXPECT_EQ(std::string(out.data()), "**** ****");
  EXPECT_EQ(buffer.front(), '#');
  EXPECT_EQ(buffer.back(), '#');

  // A cut never splits a two-byte syllable.
  std::string korean = Cp949("가나다라");
  auto [result, cut] = Filter(korean, 6);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(cut, Cp949("가나"));
  EXPECT_EQ(Filter(korean, 1).second, "");
}

TEST_F(BadFilterTest, LevelZeroTurnsTheFilterOff) {
  tovrik::portal::PortalLibrary library;
  ASSERT_TRUE(library.Load(portal_.common() / "BadFilterDLL.so"));  // the same loaded copy
  auto setLevel = library.Find<SetLevel_t>("SetLevel");
  auto isBad = library.Find<IsBad_t>("IsBad");
  ASSERT_TRUE(setLevel && isBad);
  EXPECT_EQ(isBad("FUCK"), 1);
  setLevel(0);
  EXPECT_EQ(isBad("FUCK"), 0);
  EXPECT_EQ(Filter("fuck").second, "fuck");
  setLevel(1);
  EXPECT_EQ(Filter("fuck").second, "****");
}

TEST(BadFilterLoader, ReportsEachWayInitialisationFails) {
  PortalSandbox portal;
  CBadFilterLoader filter;
  EXPECT_EQ(filter.InitFilter(portal.common()), BADFILTER_DLL_NOT_LOADED);
  portal.Copy(TOVRIK_EMPTY_MODULE, portal.common() / "BadFilterDLL.so");
  EXPECT_EQ(filter.InitFilter(portal.common()), BADFILTER_INIT_NOT_FOUND);
  portal.InstallBuilt("BadFilterDLL.so");
  EXPECT_EQ(filter.InitFilter(portal.common()), BADFILTER_INIT_FAILED);  // no word file
  portal.WriteFile("filter.bcd", "fuck\nshit\n");
  EXPECT_EQ(filter.InitFilter(portal.common()), BADFILTER_INIT_FAILED);  // not a word file
  portal.WriteFile("filter.bcd", "\xEF\xBB\xBFTOVRIK-BADFILTER 1\r\nfuck\r\n");
  EXPECT_EQ(filter.InitFilter(portal.common()), BADFILTER_OK);
  std::array<char, 16> out{};
  EXPECT_EQ(filter.IsBadToRep("Fuck", out, '*'), 1);
  EXPECT_STREQ(out.data(), "****");
}

TEST(BadFilterLoader, WithoutTheFilterTheBufferStaysAsPrepared) {
  PortalSandbox portal;
  CBadFilterLoader filter;
  std::array<char, 8> out{'k', 'e', 'e', 'p', 0};
  EXPECT_EQ(filter.IsBadToRep("fuck", out, '*'), 0);
  EXPECT_STREQ(out.data(), "keep");
  portal.Copy(TOVRIK_FILTER_INIT_ONLY_MODULE, portal.common() / "BadFilterDLL.so");
  ASSERT_EQ(filter.InitFilter(portal.common()), BADFILTER_OK);
  EXPECT_EQ(filter.IsBadToRep("fuck", out, '*'), 0);
  EXPECT_STREQ(out.data(), "keep");
}

TEST(BadFilterStarterList, ShipsAndMasksCommonWords) {
  PortalSandbox portal;
  portal.InstallBuilt("BadFilterDLL.so");
  portal.InstallBuilt("filter.bcd");
  CBadFilterLoader filter;
  ASSERT_EQ(filter.InitFilter(portal.common()), BADFILTER_OK);
  std::array<char, 512> out{};
  EXPECT_EQ(filter.IsBadToRep(Cp949("야 개새끼야"), out, '*'), 1);
  EXPECT_EQ(std::string(out.data()), Cp949("야 ******야"));
  EXPECT_EQ(filter.IsBadToRep(Cp949("좋은 게임이었어요"), out, '*'), 0);
}

}  // namespace
