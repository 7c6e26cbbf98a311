#include "base/CodePage.h"

#include <gtest/gtest.h>

#include <array>

namespace tovrik::base {
namespace {

TEST(CodePageTest, ConvertsBothWays) {
  struct Case {
    std::string utf8;
    std::string cp949;
  };
  const Case cases[] = {
      {"", ""},
      {"abc 123", "abc 123"},
      {"한글", "\xC7\xD1\xB1\xDB"},
      {"[슈퍼방]", "[\xBD\xB4\xC6\xDB\xB9\xE6]"},
      {"똠방각하", "\x8C\x63\xB9\xE6\xB0\xA2\xC7\xCF"},  // outside the EUC-KR table, inside code page 949
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToCp949(c.utf8), c.cp949) << c.utf8;
    EXPECT_EQ(Cp949ToUtf8(c.cp949), c.utf8) << c.utf8;
  }
}

TEST(CodePageTest, ReplacesWhatCannotBeConvertedAndKeepsTheRest) {
  // A lead byte followed by an ASCII letter: the letter survives.
  EXPECT_EQ(Cp949ToUtf8("a\xC7" "b"), "a\xEF\xBF\xBD" "b");
  // A lead byte cut off at the end.
  EXPECT_EQ(Cp949ToUtf8("ok\xC7"), "ok\xEF\xBF\xBD");
  // Characters code page 949 lacks, and broken UTF-8.
  EXPECT_EQ(Utf8ToCp949("a😀b"), "a?b");
  EXPECT_EQ(Utf8ToCp949("a\xE2\x82" "b"), "a?b");
  EXPECT_EQ(Utf8ToCp949("\xFF" "x"), "?x");
}

// The documented policy for bytes that cannot be converted, case by case:
// one replacement per bad sequence, and nothing valid around it is lost.
TEST(CodePageTest, InvalidAndTruncatedInputFollowsOnePolicy) {
  struct Case {
    const char* what;
    std::string input;
    std::string expected;
  };
  const std::string r = "\xEF\xBF\xBD";  // U+FFFD
  const Case toUtf8[] = {
      {"stray byte 0x80", "a\x80z", "a" + r + "z"},
      {"byte 0xFF", "\xFF", r},
      {"lead byte with an ASCII trail", "\xC7\x41z", r + "Az"},
      {"lead byte cut off at the end", "\xB0", r},
      {"two bad bytes, two replacements", "\x80\xFF", r + r},
      {"a good character after a bad byte", "\x80\xC7\xD1", r + "한"},
      {"embedded zero byte is text", std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : toUtf8) EXPECT_EQ(Cp949ToUtf8(c.input), c.expected) << c.what;

  const Case toCp949[] = {
      {"lone continuation byte", "\x80x", "?x"},
      {"sequence cut off at the end", "a\xED\x95", "a?"},
      {"overlong form", "\xC0\xAFx", "?x"},
      {"encoded surrogate", "\xED\xA0\x80x", "?x"},
      {"lead byte whose continuation is missing", "\xE2x\xEA\xB0\x80", "?x\xB0\xA1"},
      {"character without a code page 949 form", "\xE0\xB8\x81z", "?z"},
  };
  for (const Case& c : toCp949) EXPECT_EQ(Utf8ToCp949(c.input), c.expected) << c.what;
}

TEST(CodePageTest, FieldIsReadUpToItsTerminatorOrItsEnd) {
  const char terminated[8] = {'\xC7', '\xD1', 'x', 0, 'y', 'y', 'y', 'y'};
  EXPECT_EQ(Cp949FieldToUtf8(std::span<const char>(terminated)), "한x");
  // No terminator: the field's end bounds the text, and a lead byte cut by
  // it is replaced, not completed from memory beyond.
  const std::array<char, 3> unterminated{'a', 'b', '\xC7'};
  EXPECT_EQ(Cp949FieldToUtf8(std::span<const char>(unterminated)), "ab\xEF\xBF\xBD");
  // An empty field (a span over nothing, whose data() is null) is the empty
  // text; handing its null pointer to memchr was undefined, found by the
  // fuzzer and reported by UBSan.
  EXPECT_EQ(Cp949FieldToUtf8(std::span<const char>()), "");
  EXPECT_EQ(Cp949FieldToUtf8(std::span<const std::uint8_t>()), "");
}

TEST(CodePageTest, FieldIsWrittenWholeCharactersOnlyWithItsTerminator) {
  std::array<char, 6> field;
  field.fill('#');
  // 5 bytes of room: "ab" and one syllable fit, the second syllable does not.
  EXPECT_EQ(Utf8ToCp949Field("ab한글", field), 4u);
  EXPECT_EQ(std::string(field.data()), "ab\xC7\xD1");
  EXPECT_EQ(field[4], 0);
  EXPECT_EQ(field[5], 0);
  std::array<char, 1> tiny{'#'};
  EXPECT_EQ(Utf8ToCp949Field("abc", tiny), 0u);
  EXPECT_EQ(tiny[0], 0);
  EXPECT_EQ(Utf8ToCp949Field("abc", std::span<char>()), 0u);
}

TEST(CodePageTest, CharactersPackDoubleBytesLeadByteLowest) {
  EXPECT_EQ(Cp949Characters("a\xC7\xD1" "b"), (std::vector<std::uint16_t>{'a', 0xD1C7, 'b'}));
}

TEST(CodePageTest, CharacterLengthNeverSplitsAPairNorReadsPastTheEnd) {
  struct Case {
    std::string_view text;
    std::size_t at;
    std::size_t length;
  };
  const Case cases[] = {
      {"a\xC7\xD1", 0, 1},  {"a\xC7\xD1", 1, 2}, {"a\xC7\xD1", 3, 0},
      {"\xC7", 0, 1},        // lead byte cut off at the end
      {"\xC7" "a", 0, 2},    // an extended-range pair (lead, ASCII-range trail)
      {"\xC7\x30", 0, 1},   // a byte that cannot trail: the lead stands alone
      {"\xFF\xA1", 0, 1},   // not a lead byte
      {"", 0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Cp949CharLength(c.text, c.at), c.length) << c.at;
}

}  // namespace
}  // namespace tovrik::base
