#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MessageSamples.h"
#include "net/CommMsg.h"
#include "net/MsgHeader.h"
#include "protocol/Messages.h"

namespace tovrik::protocol {
namespace {

using testing::Scrambled;

template <typename Message>
std::vector<char> FrameOf(const Message& message)
{
    return std::vector<char>(message.GetData(), message.GetData() + message.GetTotalSize());
}

template <typename Message>
std::string PayloadOf(const Message& message)
{
    return std::string(message.GetData() + 16, message.GetData() + message.GetTotalSize());
}

std::string Zeros(std::size_t count) { return std::string(count, '\0'); }

const std::string kSixteen = "0123456789abcdef";
const std::string kTwenty = "0123456789abcdefghij";

TEST(LoginLayout, LoginWithThreeEmptyCookiesIsTheRecordAlone)
{
    CSV_ASK_LOGIN login;
    ASK_LOGININFO info;
    info.AuthCookieLen = 99;  // stale lengths never reach the wire
    ASSERT_TRUE(login.Set(info, "", "", ""));
    EXPECT_EQ(login.GetTotalSize(), 16 + 132);
    EXPECT_EQ(login.LoginInfo->AuthCookieLen, 0);
    EXPECT_EQ(login.AuthCookie, nullptr);
    EXPECT_EQ(login.DataCookie, nullptr);
    EXPECT_EQ(login.CpCookie, nullptr);
}

TEST(LoginLayout, FindIdOfTwentyBytesSendsTwentyZeros)
{
    CSV_ASK_FINDID find;
    ASSERT_TRUE(find.Set(kTwenty));
    EXPECT_EQ(PayloadOf(find), Zeros(20));
    ASSERT_TRUE(find.Set(kTwenty.substr(0, 19)));
    EXPECT_EQ(PayloadOf(find), kTwenty.substr(0, 19) + Zeros(1));
}

TEST(LobbyLayout, EnterRoomWithoutPasswordSendsFiveZeros)
{
    CSV_ASK_ENTERROOM enter;
    ASSERT_TRUE(enter.Set(1, 2, "me", ""));
    EXPECT_EQ(PayloadOf(enter).substr(24), Zeros(5));
    ASSERT_TRUE(enter.Set(1, 2, "me", "123456"));
    EXPECT_EQ(PayloadOf(enter).substr(24), "1234" + Zeros(1));
}

TEST(LobbyLayout, OutRoomCutsALongIdWhereUserInfoSendsZeros)
{
    CSV_ASK_OUTROOM out;
    ASSERT_TRUE(out.Set(5, 6, kSixteen));
    EXPECT_EQ(PayloadOf(out).substr(8), kSixteen.substr(0, 15) + Zeros(1));

    CSV_ASK_USERINFO info;
    ASSERT_TRUE(info.Set(6, kSixteen));
    EXPECT_EQ(PayloadOf(info).substr(4), Zeros(16));
}

TEST(LobbyLayout, AbuseReportKeepsTheLastFourThousandBytesOfTheExcerpt)
{
    std::string excerpt;
    for (int i = 0; i < 5000; ++i) excerpt += static_cast<char>('a' + i % 26);
    CSV_ASK_BADUSER report;
    ASSERT_TRUE(report.Set(0, 0, 1, "me", "you", "nick", "why", "", excerpt));
    EXPECT_EQ(*report.ExcerptLen, 4000);
    EXPECT_EQ(report.ExcerptView(), excerpt.substr(1000));
    EXPECT_EQ(report.GetTotalSize(), 16 + 12 + 16 + 16 + 20 + 64 + 4 + 4 + 4000);
}

TEST(LobbyLayout, AbuseReportExcerptNeverStartsWithHalfACharacter)
{
    // "a", 2500 two-byte characters, "b": the 4000th byte from the end is
    // the second byte of a character, so the excerpt starts one byte later.
    std::string excerpt = "a";
    for (int i = 0; i < 2500; ++i) excerpt += "\xB0\xA1";
    excerpt += "b";
    CSV_ASK_BADUSER report;
    ASSERT_TRUE(report.Set(0, 0, 1, "me", "you", "nick", "why", "", excerpt));
    EXPECT_EQ(*report.ExcerptLen, 3999);
    EXPECT_EQ(report.ExcerptView(), excerpt.substr(excerpt.size() - 3999));
}

TEST(LobbyLayout, ChatTextBeyondSixteenBitsKeepsItsFirst32767Bytes)
{
    const std::string text(40000, '\xB0');  // lead bytes all the way
    CSV_CHATDATA chat;
    ASSERT_TRUE(chat.Set("me", text));
    EXPECT_EQ(*chat.TextLen, 32766);  // 32767 would split a character
}

TEST(LobbyLayout, GameOverWithFewerThanTwoEntriesReadsTheMissingAsNoPlayer)
{
    GAMEOVERRESULT only;
    CopyIfShorter(only.ID, "alone");
    only.ChangePoint = 9;
    CSV_GAMEOVERRESULT sent;
    ASSERT_TRUE(sent.Set(std::span<const GAMEOVERRESULT>(&only, 1)));
    std::vector<char> wire = Scrambled(FrameOf(sent), 1);

    CSV_GAMEOVERRESULT received;
    ASSERT_TRUE(received.Get(wire.data(), static_cast<int>(wire.size())));
    EXPECT_EQ(ReadText(received.Result(0).ID), "alone");
    EXPECT_EQ(received.Result(0).ChangePoint, 9);
    EXPECT_EQ(ReadText(received.Result(1).ID), "");
    EXPECT_EQ(received.Result(1).ChangePoint, 0);

    CSV_GAMEOVERRESULT none;
    ASSERT_TRUE(none.Set({}));
    wire = Scrambled(FrameOf(none), 1);
    ASSERT_TRUE(received.Get(wire.data(), static_cast<int>(wire.size())));
    EXPECT_EQ(ReadText(received.Result(0).ID), "");
    EXPECT_EQ(received.Entries, nullptr);
}

TEST(LobbyLayout, FullWidthTextFieldReadsOnlyItsWidth)
{
    CSV_WHISPERCHAT sent;
    ASSERT_TRUE(sent.Set("x", "nick", 1, "target", "hi"));
    std::vector<char> frame = FrameOf(sent);
    std::memset(frame.data() + 16, 'A', 16);  // the sender id fills its field
    std::vector<char> wire = Scrambled(frame, 2);

    CSV_WHISPERCHAT received;
    ASSERT_TRUE(received.Get(wire.data(), static_cast<int>(wire.size())));
    EXPECT_EQ(received.UserID->View(), std::string(16, 'A'));
    EXPECT_EQ(received.NickName->View(), "nick");
}

TEST(LobbyLayout, EmptyListsParseWithoutEntries)
{
    CSV_ALLROOMINFO rooms;
    ASSERT_TRUE(rooms.Set({}));
    std::vector<char> wire = Scrambled(FrameOf(rooms), 4);
    CSV_ALLROOMINFO received;
    ASSERT_TRUE(received.Get(wire.data(), static_cast<int>(wire.size())));
    EXPECT_EQ(*received.Count, 0);
    EXPECT_TRUE(received.List().empty());
}

// A length field the frame cannot back: the whole Get fails and leaves
// every part pointer null.
TEST(ReceivedLengths, NegativeOrOversizedLengthsFailTheWholeMessage)
{
    CSV_CHATDATA chat;
    ASSERT_TRUE(chat.Set("me", "hello"));
    std::vector<char> frame = FrameOf(chat);
    for (const std::int16_t length : {-1, -32768, 6, 32767}) {
        SCOPED_TRACE(length);
        std::vector<char> bad = frame;
        net::WriteU16(bad.data() + 16 + 16, static_cast<std::uint16_t>(length));
        std::vector<char> wire = Scrambled(bad, 5);
        CSV_CHATDATA received;
        EXPECT_FALSE(received.Get(wire.data(), static_cast<int>(wire.size())));
        EXPECT_EQ(received.UserID, nullptr);
        EXPECT_EQ(received.TextLen, nullptr);
        EXPECT_EQ(received.Text, nullptr);
    }
}

TEST(ReceivedLengths, HugeCountsDoNotOverflowIntoSmallSizes)
{
    CSV_ALLROOMINFO rooms;
    ASSERT_TRUE(rooms.Set({}));
    std::vector<char> frame = FrameOf(rooms);
    for (const std::uint32_t count : {0x7FFFFFFFu, 0x80000000u, 0x02AAAAABu /* x96 wraps to 32 bits */}) {
        std::vector<char> bad = frame;
        net::WriteU32(bad.data() + 16, count);
        std::vector<char> wire = Scrambled(bad, 5);
        CSV_ALLROOMINFO received;
        EXPECT_FALSE(received.Get(wire.data(), static_cast<int>(wire.size()))) << count;
    }
}

TEST(ReceivedLengths, BytesAfterTheStatedPayloadAreNeverParsed)
{
    CSV_CHATDATA chat;
    ASSERT_TRUE(chat.Set("me", "hello"));
    std::vector<char> frame = FrameOf(chat);
    // The header states one byte less than the text needs; the buffer still
    // holds that byte.
    net::WriteU32(frame.data() + net::kOffDataLen, static_cast<std::uint32_t>(frame.size() - 16 - 1));
    CSV_CHATDATA received;
    EXPECT_FALSE(received.Get(frame.data(), static_cast<int>(frame.size())));
}

TEST(ReceivedLengths, NullAndHeaderlessFramesFail)
{
    CSV_ACCEPT_LOGOUT logout;
    EXPECT_FALSE(logout.Get(nullptr, 16));
    char header[15] = {'T', 'K'};
    EXPECT_FALSE(logout.Get(header, sizeof header));
}

TEST(ReceivedFrames, CompressedFramesParseFromTheirDecompressedPayload)
{
    std::vector<ROOMINFO> list(40);
    for (int i = 0; i < 40; ++i) {
        list[static_cast<std::size_t>(i)].RoomNo = i;
        CopyIfShorter(list[static_cast<std::size_t>(i)].Title, "room");
    }
    CSV_ALLROOMINFO rooms;
    ASSERT_TRUE(rooms.Set(list));
    const std::vector<char> plain = FrameOf(rooms);

    std::vector<char> compressed(plain.size() + 64, '\0');
    compressed[net::kOffCompressType] = 4;  // zlib
    const int dataLen = net::CCommMsg::CompressAll(plain.data(), static_cast<int>(plain.size()), compressed.data(),
                                                   static_cast<int>(compressed.size()));
    ASSERT_GT(dataLen, 0);
    compressed.resize(16 + static_cast<std::size_t>(dataLen));
    ASSERT_LT(compressed.size(), plain.size());
    std::vector<char> wire = Scrambled(compressed, 11);

    CSV_ALLROOMINFO received;
    ASSERT_TRUE(received.Get(wire.data(), static_cast<int>(wire.size())));
    ASSERT_EQ(received.List().size(), 40u);
    EXPECT_EQ(received.List()[39].RoomNo, 39);
    EXPECT_EQ(ReadText(received.List()[39].Title), "room");
}

TEST(RelayLayout, ResultWithoutFallenStonesIsTwentyBytes)
{
    RESULTSTONEHITINFO head;
    SetRelayID(head.ID, "me");
    CCL_RESULTSTONEHIT result;
    ASSERT_TRUE(result.Set(head, DROPSTONEINFO{}));
    EXPECT_EQ(result.GetTotalSize(), 16 + 20);
    EXPECT_EQ(result.Drops, nullptr);
    EXPECT_TRUE(result.DropList().empty());
}

TEST(RelayLayout, DropCountsOutsideOneSideAreRefusedBothWays)
{
    RESULTSTONEHITINFO head;
    head.DropCount = 17;
    CCL_RESULTSTONEHIT result;
    EXPECT_FALSE(result.Set(head, DROPSTONEINFO{}));
    head.DropCount = -1;
    EXPECT_FALSE(result.Set(head, DROPSTONEINFO{}));

    // A received head whose count the frame could back but one side cannot.
    head.DropCount = 16;
    ASSERT_TRUE(result.Set(head, DROPSTONEINFO{}));
    std::vector<char> frame = FrameOf(result);
    frame.resize(frame.size() + 4, '\0');
    net::WriteU32(frame.data() + net::kOffDataLen, 20 + 17 * 4);
    net::WriteU32(frame.data() + 16 + 16, 17);
    std::vector<char> wire = Scrambled(frame, 6);
    CCL_RESULTSTONEHIT received;
    EXPECT_FALSE(received.Get(wire.data(), static_cast<int>(wire.size())));
}

TEST(RelayLayout, IdOnlyMessagesSendALongIdAsZeros)
{
    CCL_READYTOSTART ready;
    ASSERT_TRUE(ready.Set(kSixteen));
    EXPECT_EQ(PayloadOf(ready), Zeros(16));

    CCL_TIMEOUTMYTURN timeout;
    ASSERT_TRUE(timeout.Set(kTwenty));
    EXPECT_EQ(PayloadOf(timeout), Zeros(16));

    CCL_EXITSUBSCRIPT exit;
    ASSERT_TRUE(exit.Set(1, 2, kSixteen, 1));
    EXPECT_EQ(PayloadOf(exit).substr(8, 16), Zeros(16));

    CCL_ASK_STARTGAME start;
    ASSERT_TRUE(start.Set(1, 0, kSixteen));
    EXPECT_EQ(PayloadOf(start).substr(8), Zeros(16));

    CCL_CHATDATA chat;
    ASSERT_TRUE(chat.Set(1, kSixteen, "hi"));
    EXPECT_EQ(PayloadOf(chat).substr(4, 16), Zeros(16));

    ASSERT_TRUE(ready.Set(kSixteen.substr(0, 15)));
    EXPECT_EQ(PayloadOf(ready), kSixteen.substr(0, 15) + Zeros(1));
}

TEST(RelayLayout, RoomChatIsPackedWithItsLengthAtOffset21)
{
    CCL_CHATDATA chat;
    ASSERT_TRUE(chat.Set(0x01020304, "abc", "xyz"));
    const std::string expected = std::string("\x04\x03\x02\x01", 4) + "abc" + Zeros(13) + Zeros(1) +
                                 std::string("\x03\x00", 2) + "xyz";
    EXPECT_EQ(PayloadOf(chat), expected);
}

TEST(RelayLayout, StoneHitCarriesLittleEndianFloats)
{
    STONEHITINFO hit;
    SetRelayID(hit.ID, "a");
    hit.StoneIndex = 0x0F;
    hit.Angle = 90.0f;  // 0x42B40000
    hit.Power = 0.5f;   // 0x3F000000
    CCL_STONEHIT message;
    ASSERT_TRUE(message.Set(hit));
    EXPECT_EQ(PayloadOf(message).substr(16),
              std::string("\x0F\x00\x00\x00\x00\x00\xB4\x42\x00\x00\x00\x3F", 12));
}

}  // namespace
}  // namespace tovrik::protocol
