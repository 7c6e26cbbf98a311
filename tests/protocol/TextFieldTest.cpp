#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

#include "protocol/Records.h"
#include "protocol/TextField.h"

namespace tovrik::protocol {
namespace {

// "가나" in code page 949: two two-byte characters.
const std::string kGaNa = "\xB0\xA1\xB3\xAA";

std::string FieldBytes(std::span<const char> field) { return std::string(field.data(), field.size()); }

TEST(TextField, CopyIfShorterCopiesOnlyWhenTheTerminatorFits)
{
    char field[5];
    CopyIfShorter(field, "abcd");
    EXPECT_EQ(FieldBytes(field), std::string("abcd\0", 5));

    CopyIfShorter(field, "abcde");
    EXPECT_EQ(FieldBytes(field), std::string(5, '\0'));

    CopyIfShorter(field, "");
    EXPECT_EQ(FieldBytes(field), std::string(5, '\0'));
}

TEST(TextField, CopyIfShorterZeroesStaleBytes)
{
    char field[8];
    CopyIfShorter(field, "longtext");  // too long: cleared
    CopyIfShorter(field, "abcdefg");
    CopyIfShorter(field, "ab");
    EXPECT_EQ(FieldBytes(field), std::string("ab\0\0\0\0\0\0", 8));
}

TEST(TextField, ArgumentsEndAtTheirFirstZeroByte)
{
    char field[4];
    CopyIfShorter(field, std::string_view("ab\0cdefgh", 9));
    EXPECT_EQ(FieldBytes(field), std::string("ab\0\0", 4));
}

struct CopyAtMostCase {
    std::string text;
    std::size_t fieldSize;
    std::size_t n;
    std::string expected;  // bytes of the whole field
};

void PrintTo(const CopyAtMostCase& c, std::ostream* out)
{
    *out << c.text.size() << " bytes into " << c.fieldSize << ", n=" << c.n;
}

class CopyAtMostTest : public ::testing::TestWithParam<CopyAtMostCase> {};

TEST_P(CopyAtMostTest, FillsAZeroedFieldWithAtMostNBytes)
{
    const CopyAtMostCase& c = GetParam();
    std::string field(c.fieldSize, 'X');
    CopyAtMost(std::span<char>(field.data(), field.size()), c.text, c.n);
    EXPECT_EQ(field, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyAtMostTest,
    ::testing::Values(
        CopyAtMostCase{"abc", 16, 15, std::string("abc") + std::string(13, '\0')},
        CopyAtMostCase{"0123456789abcdef", 16, 15, "0123456789abcde" + std::string(1, '\0')},
        CopyAtMostCase{"12345", 5, 4, std::string("1234\0", 5)},
        // n larger than the field still leaves the terminator.
        CopyAtMostCase{"123456", 5, 10, std::string("1234\0", 5)},
        // byte 3 would be the lead byte of 나: the whole character goes.
        CopyAtMostCase{"a" + kGaNa, 5, 4, "a\xB0\xA1" + std::string(2, '\0')},
        CopyAtMostCase{kGaNa, 5, 4, kGaNa + std::string(1, '\0')},
        CopyAtMostCase{kGaNa, 4, 3, "\xB0\xA1" + std::string(2, '\0')}));

TEST(TextField, RelayIDKeepsAtMostFifteenBytes)
{
    char id[16];
    SetRelayID(id, "0123456789abcdefXYZ");
    EXPECT_EQ(FieldBytes(id), "0123456789abcde" + std::string(1, '\0'));
}

TEST(TextField, ReadTextStopsAtZeroOrAtTheFieldWidth)
{
    SMALLUSERINFO user;
    std::memset(user.ID, 'A', sizeof user.ID);  // no zero byte at all
    user.NickName[0] = 'B';                      // the next field must not leak in
    EXPECT_EQ(ReadText(user.ID), std::string(16, 'A'));

    CopyIfShorter(user.ID, "kim");
    EXPECT_EQ(ReadText(user.ID), "kim");
}

TEST(TextField, HeadAndTailNeverSplitACharacter)
{
    const std::string text = "a" + kGaNa + "b";  // a 가 나 b : 6 bytes
    EXPECT_EQ(Cp949Head(text, 2), "a");
    EXPECT_EQ(Cp949Head(text, 3), "a\xB0\xA1");
    EXPECT_EQ(Cp949Head(text, 6), text);
    EXPECT_EQ(Cp949Tail(text, 4), "\xB3\xAA" "b");
    EXPECT_EQ(Cp949Tail(text, 3), "\xB3\xAA" "b");
    EXPECT_EQ(Cp949Tail(text, 2), "b");
    EXPECT_EQ(Cp949Tail(text, 10), text);
}

TEST(TextField, TailOfALongExcerptKeepsTheLastBytes)
{
    std::string excerpt;
    for (int i = 0; i < 5000; ++i) excerpt += static_cast<char>('a' + i % 26);
    const std::string_view tail = Cp949Tail(excerpt, 4000);
    EXPECT_EQ(tail.size(), 4000u);
    EXPECT_EQ(tail, std::string_view(excerpt).substr(1000));
}

}  // namespace
}  // namespace tovrik::protocol
