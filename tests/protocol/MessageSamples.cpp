#include "MessageSamples.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

#include "net/CommMsg.h"
#include "net/MsgHeader.h"
#include "protocol/Messages.h"

namespace tovrik::protocol::testing {

namespace {

// Korean text in code page 949: "김철수" and "안녕하세요".
const std::string kKimNick = "\xB1\xE8\xC3\xB6\xBC\xF6";
const std::string kHello = "\xBE\xC8\xB3\xE7\xC7\xCF\xBC\xBC\xBF\xE4";

USERINFO SampleUser(int unum)
{
    USERINFO user;
    user.UNum = unum;
    CopyIfShorter(user.ID, "player" + std::to_string(unum));
    CopyIfShorter(user.NickName, kKimNick);
    user.Sex = 1;
    user.PremGrade = 2;
    user.PremExpire.wYear = 2027;
    user.PremExpire.wMilliseconds = 999;
    user.PcRoomGrade = 3;
    user.CharNo = 72;
    user.WinNum = 10;
    user.LoseNum = 20;
    user.DrawNum = 3;
    user.Point = -40;
    user.Pebble = 123456789;
    user.Avatar[50] = 5;
    CopyIfShorter(user.ProfileText, kHello);
    user.EventCount = 7;
    user.EventValue1 = 8;
    user.EventValue2 = 9;
    return user;
}

void ExpectSampleUser(const USERINFO& user, int unum)
{
    EXPECT_EQ(user.UNum, unum);
    EXPECT_EQ(ReadText(user.ID), "player" + std::to_string(unum));
    EXPECT_EQ(ReadText(user.NickName), kKimNick);
    EXPECT_EQ(user.Sex, 1);
    EXPECT_EQ(user.PremGrade, 2);
    EXPECT_EQ(user.PremExpire.wYear, 2027);
    EXPECT_EQ(user.PremExpire.wMilliseconds, 999);
    EXPECT_EQ(user.PcRoomGrade, 3);
    EXPECT_EQ(user.CharNo, 72);
    EXPECT_EQ(user.WinNum, 10);
    EXPECT_EQ(user.LoseNum, 20);
    EXPECT_EQ(user.DrawNum, 3);
    EXPECT_EQ(user.Point, -40);
    EXPECT_EQ(user.Pebble, 123456789);
    EXPECT_EQ(AvatarKind(user), 5);
    EXPECT_EQ(ReadText(user.ProfileText), kHello);
    EXPECT_EQ(user.EventCount, 7);
    EXPECT_EQ(user.EventValue2, 9);
}

SMALLUSERINFO SampleSmallUser(int unum)
{
    SMALLUSERINFO user;
    user.UNum = unum;
    CopyIfShorter(user.ID, "small" + std::to_string(unum));
    CopyIfShorter(user.NickName, kKimNick);
    user.Sex = 1;
    user.WinNum = 4;
    user.LoseNum = 5;
    user.Point = 600;
    user.State = 3;
    user.RoomNo = 77;
    return user;
}

void ExpectSampleSmallUser(const SMALLUSERINFO& user, int unum)
{
    EXPECT_EQ(user.UNum, unum);
    EXPECT_EQ(ReadText(user.ID), "small" + std::to_string(unum));
    EXPECT_EQ(ReadText(user.NickName), kKimNick);
    EXPECT_EQ(user.Sex, 1);
    EXPECT_EQ(user.WinNum, 4);
    EXPECT_EQ(user.LoseNum, 5);
    EXPECT_EQ(user.Point, 600);
    EXPECT_EQ(user.State, 3);
    EXPECT_EQ(user.RoomNo, 77);
}

ROOMINFO SampleRoom(int roomNo)
{
    ROOMINFO room;
    room.RoomNo = roomNo;
    CopyIfShorter(room.Title, kHello + " room");
    room.MasterUNum = 900;
    CopyIfShorter(room.MasterID, "master");
    CopyIfShorter(room.MasterNick, kKimNick);
    room.UserCnt = 1;
    room.MaxUser = 6;
    room.BetPebble = 1500;
    room.RoomLevel = 14;
    room.Secret = 1;
    room.Playing = 1;
    room.RoomOption = 14;
    CopyIfShorter(room.Password, "1234");
    room.SuperRoom = 1;
    return room;
}

void ExpectSampleRoom(const ROOMINFO& room, int roomNo)
{
    EXPECT_EQ(room.RoomNo, roomNo);
    EXPECT_EQ(ReadText(room.Title), kHello + " room");
    EXPECT_EQ(room.MasterUNum, 900);
    EXPECT_EQ(ReadText(room.MasterID), "master");
    EXPECT_EQ(ReadText(room.MasterNick), kKimNick);
    EXPECT_EQ(room.UserCnt, 1);
    EXPECT_EQ(room.MaxUser, 6);
    EXPECT_EQ(room.BetPebble, 1500);
    EXPECT_EQ(room.RoomLevel, 14);
    EXPECT_EQ(room.Secret, 1);
    EXPECT_EQ(room.Playing, 1);
    EXPECT_EQ(room.RoomOption, 14);
    EXPECT_EQ(ReadText(room.Password), "1234");
    EXPECT_EQ(room.SuperRoom, 1);
}

SMALLROOMINFO SampleSmallRoom()
{
    SMALLROOMINFO room;
    room.RoomNo = 31;
    CopyIfShorter(room.MasterID, "newmaster");
    CopyIfShorter(room.MasterNick, kKimNick);
    room.UserCnt = 2;
    room.MaxUser = 4;
    room.Playing = 1;
    return room;
}

void ExpectSampleSmallRoom(const SMALLROOMINFO& room)
{
    EXPECT_EQ(room.RoomNo, 31);
    EXPECT_EQ(ReadText(room.MasterID), "newmaster");
    EXPECT_EQ(ReadText(room.MasterNick), kKimNick);
    EXPECT_EQ(room.UserCnt, 2);
    EXPECT_EQ(room.MaxUser, 4);
    EXPECT_EQ(room.Playing, 1);
}

GAMEINFO SampleGame()
{
    GAMEINFO game;
    game.RI = SampleRoom(12);
    game.UI[0] = SampleUser(1);
    game.UI[1] = SampleUser(2);
    return game;
}

void ExpectSampleGame(const GAMEINFO& game)
{
    ExpectSampleRoom(game.RI, 12);
    ExpectSampleUser(game.UI[0], 1);
    ExpectSampleUser(game.UI[1], 2);
}

GAMEITEM SampleItem(int code)
{
    GAMEITEM item;
    item.ItemCode = code;
    item.UseDays = 30;
    item.UseLimit = -1;
    item.StartTime.wDay = 17;
    item.UsedCnt = 4;
    return item;
}

void ExpectSampleItem(const GAMEITEM& item, int code)
{
    EXPECT_EQ(item.ItemCode, code);
    EXPECT_EQ(item.UseDays, 30);
    EXPECT_EQ(item.UseLimit, -1);
    EXPECT_EQ(item.StartTime.wDay, 17);
    EXPECT_EQ(item.UsedCnt, 4);
}

GAMEOVERRESULT SampleResult(const char* id, int change)
{
    GAMEOVERRESULT result;
    CopyIfShorter(result.ID, id);
    result.Pebble = 5000;
    result.Point = 120;
    result.WinNum = 11;
    result.LoseNum = 12;
    result.ChangePoint = change;
    result.ChangeValue = 3;
    return result;
}

void ExpectSampleResult(const GAMEOVERRESULT& result, const char* id, int change)
{
    EXPECT_EQ(ReadText(result.ID), id);
    EXPECT_EQ(result.Pebble, 5000);
    EXPECT_EQ(result.Point, 120);
    EXPECT_EQ(result.WinNum, 11);
    EXPECT_EQ(result.LoseNum, 12);
    EXPECT_EQ(result.ChangePoint, change);
    EXPECT_EQ(result.ChangeValue, 3);
}

// After a failed Get no part pointer may be left on the frame.
class ExpectAllPartsNull {
public:
    template <typename T>
    void Part(T*& part) { EXPECT_EQ(part, nullptr); }
    template <typename T>
    void Array(T*& part, std::int64_t) { EXPECT_EQ(part, nullptr); }
    void Bytes(char*& part, std::int64_t) { EXPECT_EQ(part, nullptr); }
    void Require(bool) {}
};

// Builds the sample of one class from its Set and its field check.
template <typename Message>
MessageSample Sample(std::string name, int payloadSize, std::function<bool(Message&)> set,
                     std::function<void(const Message&)> check)
{
    MessageSample sample;
    sample.id = Message::MSGID;
    sample.name = std::move(name);
    sample.payloadSize = payloadSize;
    sample.build = [set, check]() {
        Message message;
        if (!set(message)) return std::vector<char>{};
        check(message);
        return std::vector<char>(message.GetData(), message.GetData() + message.GetTotalSize());
    };
    sample.get = [check](char* frame, int len, bool checkFields) {
        Message message;
        if (!message.Get(frame, len)) {
            ExpectAllPartsNull nulls;
            message.Layout(nulls);
            EXPECT_EQ(message.GetTotalSize(), 0);
            return false;
        }
        if (checkFields) check(message);
        return true;
    };
    return sample;
}

template <typename Message>
MessageSample ValueSample(std::string name, std::int32_t value)
{
    return Sample<Message>(
        std::move(name), 4, [value](Message& m) { return m.Set(value); },
        [value](const Message& m) { EXPECT_EQ(*m.Value, value); });
}

template <typename Message>
MessageSample EmptySample(std::string name)
{
    return Sample<Message>(
        std::move(name), 0, [](Message& m) { return m.Set(); }, [](const Message&) {});
}

template <typename Message>
MessageSample RefuseSample(std::string name)
{
    return Sample<Message>(
        std::move(name), 8 + static_cast<int>(kHello.size()), [](Message& m) { return m.Set(-3, kHello); },
        [](const Message& m) {
            EXPECT_EQ(*m.Reason, -3);
            EXPECT_EQ(m.TextView(), kHello);
        });
}

template <typename Message>
MessageSample UserSample(std::string name)
{
    return Sample<Message>(
        std::move(name), 212, [](Message& m) { return m.Set(SampleUser(5)); },
        [](const Message& m) { ExpectSampleUser(*m.Info, 5); });
}

template <typename Message>
MessageSample SmallUserSample(std::string name)
{
    return Sample<Message>(
        std::move(name), 64, [](Message& m) { return m.Set(SampleSmallUser(6)); },
        [](const Message& m) { ExpectSampleSmallUser(*m.Info, 6); });
}

template <typename Message>
MessageSample RoomSample(std::string name)
{
    return Sample<Message>(
        std::move(name), 96, [](Message& m) { return m.Set(SampleRoom(8)); },
        [](const Message& m) { ExpectSampleRoom(*m.Info, 8); });
}

template <typename Message>
MessageSample SmallRoomSample(std::string name)
{
    return Sample<Message>(
        std::move(name), 52, [](Message& m) { return m.Set(SampleSmallRoom()); },
        [](const Message& m) { ExpectSampleSmallRoom(*m.Info); });
}

template <typename Message>
MessageSample RelayIDSample(std::string name)
{
    return Sample<Message>(
        std::move(name), 16, [](Message& m) { return m.Set("relayer"); },
        [](const Message& m) { EXPECT_EQ(m.Info->View(), "relayer"); });
}

std::vector<MessageSample> LoginSamples()
{
    std::vector<MessageSample> samples;
    samples.push_back(ValueSample<CMS_CHECKVERSION>("CMS_CHECKVERSION", kProtocolVersion));
    samples.push_back(ValueSample<CMS_ASK_DESTSERVERINFO>("CMS_ASK_DESTSERVERINFO", -1));
    samples.push_back(RefuseSample<CMS_REFUSE_DESTSERVERINFO>("CMS_REFUSE_DESTSERVERINFO"));
    samples.push_back(Sample<CMS_DESTSERVERINFO>(
        "CMS_DESTSERVERINFO", 36,
        [](CMS_DESTSERVERINFO& m) {
            Ms_DestServerInfo dest;
            CopyIfShorter(dest.IP, "192.168.100.200");
            dest.Port = 47001;
            dest.Ticket1 = -100000;
            dest.Ticket2 = 2;
            dest.Ticket3 = 3;
            dest.Ticket4 = 4;
            dest.Ticket5 = -5;
            return m.Set(dest);
        },
        [](const CMS_DESTSERVERINFO& m) {
            EXPECT_EQ(ReadText(m.Info->IP), "192.168.100.200");
            EXPECT_EQ(m.Info->Port, 47001);
            EXPECT_EQ(m.Info->Ticket1, -100000);
            EXPECT_EQ(m.Info->Ticket2, 2);
            EXPECT_EQ(m.Info->Ticket4, 4);
            EXPECT_EQ(m.Info->Ticket5, -5);
        }));
    samples.push_back(ValueSample<CSV_CHECKVERSION>("CSV_CHECKVERSION", kProtocolVersion));
    samples.push_back(Sample<CSV_ASK_LOGIN>(
        "CSV_ASK_LOGIN", 132 + 5 + 0 + 3,
        [](CSV_ASK_LOGIN& m) {
            ASK_LOGININFO info;
            CopyIfShorter(info.LocalIP, "10.0.0.2");
            CopyIfShorter(info.HostIP, "10.0.0.3");
            info.LocalPort = 20000 + 51234;
            info.Ticket1 = 11;
            info.Ticket5 = 55;
            std::memset(info.MachineID, 'M', sizeof info.MachineID);
            return m.Set(info, "AUTH!", "", "cp1");
        },
        [](const CSV_ASK_LOGIN& m) {
            EXPECT_EQ(ReadText(m.LoginInfo->LocalIP), "10.0.0.2");
            EXPECT_EQ(ReadText(m.LoginInfo->HostIP), "10.0.0.3");
            EXPECT_EQ(m.LoginInfo->LocalPort, 71234);
            EXPECT_EQ(m.LoginInfo->AuthCookieLen, 5);
            EXPECT_EQ(m.LoginInfo->DataCookieLen, 0);
            EXPECT_EQ(m.LoginInfo->CpCookieLen, 3);
            EXPECT_EQ(m.LoginInfo->Ticket1, 11);
            EXPECT_EQ(m.LoginInfo->Ticket5, 55);
            EXPECT_EQ(ReadText(m.LoginInfo->MachineID), std::string(32, 'M'));
            EXPECT_EQ(m.AuthCookieView(), "AUTH!");
            EXPECT_EQ(m.DataCookie, nullptr);
            EXPECT_EQ(m.CpCookieView(), "cp1");
        }));
    samples.push_back(Sample<CSV_SERVERINFO>(
        "CSV_SERVERINFO", 980,
        [](CSV_SERVERINFO& m) {
            SERVERINFO info;
            info.GameCode = 31;
            info.ServerTime.wHour = 23;
            CopyIfShorter(info.NoticeURL, "http://notice");
            CopyIfShorter(info.BoardURL, "http://board");
            return m.Set(info);
        },
        [](const CSV_SERVERINFO& m) {
            EXPECT_EQ(m.Info->GameCode, 31);
            EXPECT_EQ(m.Info->ServerTime.wHour, 23);
            EXPECT_EQ(ReadText(m.Info->NoticeURL), "http://notice");
            EXPECT_EQ(ReadText(m.Info->BoardURL), "http://board");
        }));
    samples.push_back(Sample<CSV_ACCEPT_LOGIN>(
        "CSV_ACCEPT_LOGIN", 288,
        [](CSV_ACCEPT_LOGIN& m) {
            LOGINACCEPTINFO info;
            info.UI = SampleUser(3);
            CopyIfShorter(info.UserCN, "CN0001");
            info.GroupNo = 2;
            info.ChanNo = 9;
            CopyIfShorter(info.ChanName, kHello);
            info.ItemChannel = 1;
            return m.Set(info);
        },
        [](const CSV_ACCEPT_LOGIN& m) {
            ExpectSampleUser(m.Info->UI, 3);
            EXPECT_EQ(ReadText(m.Info->UserCN), "CN0001");
            EXPECT_EQ(m.Info->GroupNo, 2);
            EXPECT_EQ(m.Info->ChanNo, 9);
            EXPECT_EQ(ReadText(m.Info->ChanName), kHello);
            EXPECT_EQ(m.Info->ItemChannel, 1);
        }));
    samples.push_back(RefuseSample<CSV_REFUSE_LOGIN>("CSV_REFUSE_LOGIN"));
    samples.push_back(Sample<CSV_ASK_LOGOUT>(
        "CSV_ASK_LOGOUT", 20, [](CSV_ASK_LOGOUT& m) { return m.Set(321, "leaver"); },
        [](const CSV_ASK_LOGOUT& m) {
            EXPECT_EQ(*m.UNum, 321);
            EXPECT_EQ(m.UserID->View(), "leaver");
        }));
    samples.push_back(EmptySample<CSV_ACCEPT_LOGOUT>("CSV_ACCEPT_LOGOUT"));
    samples.push_back(Sample<CSV_DESTCHANNELINFO>(
        "CSV_DESTCHANNELINFO", 20 + 4 + 28,
        [](CSV_DESTCHANNELINFO& m) {
            CONNECT_MOVECHANINFO ticket;
            ticket.reserved1[0] = 0xAB;
            ticket.UNum = 4321;
            ticket.reserved2[5] = 0xCD;
            return m.Set("10.1.2.3", 47002, ticket);
        },
        [](const CSV_DESTCHANNELINFO& m) {
            EXPECT_EQ(m.IP->View(), "10.1.2.3");
            EXPECT_EQ(*m.Port, 47002);
            EXPECT_EQ(m.Ticket->reserved1[0], 0xAB);
            EXPECT_EQ(m.Ticket->UNum, 4321);
            EXPECT_EQ(m.Ticket->reserved2[5], 0xCD);
        }));
    samples.push_back(Sample<CSV_CONNECT_MOVECHAN>(
        "CSV_CONNECT_MOVECHAN", 28,
        [](CSV_CONNECT_MOVECHAN& m) {
            CONNECT_MOVECHANINFO ticket;
            ticket.reserved1[19] = 0x7F;
            ticket.UNum = -2;
            return m.Set(ticket);
        },
        [](const CSV_CONNECT_MOVECHAN& m) {
            EXPECT_EQ(m.Info->reserved1[19], 0x7F);
            EXPECT_EQ(m.Info->UNum, -2);
        }));
    samples.push_back(Sample<CSV_ASK_ENTERCHAN>(
        "CSV_ASK_ENTERCHAN", 8, [](CSV_ASK_ENTERCHAN& m) { return m.Set(3, 14); },
        [](const CSV_ASK_ENTERCHAN& m) {
            EXPECT_EQ(*m.GroupNo, 3);
            EXPECT_EQ(*m.ChanNo, 14);
        }));
    samples.push_back(Sample<CSV_ACCEPT_ENTERCHAN>(
        "CSV_ACCEPT_ENTERCHAN", 48,
        [](CSV_ACCEPT_ENTERCHAN& m) {
            ENTERCHANINFO info;
            info.Result = -5;
            info.GroupNo = 1;
            info.ChanNo = 2;
            info.ItemChannel = 1;
            CopyIfShorter(info.ChanName, kHello);
            return m.Set(info);
        },
        [](const CSV_ACCEPT_ENTERCHAN& m) {
            EXPECT_EQ(m.Info->Result, -5);
            EXPECT_EQ(m.Info->GroupNo, 1);
            EXPECT_EQ(m.Info->ChanNo, 2);
            EXPECT_EQ(m.Info->ItemChannel, 1);
            EXPECT_EQ(ReadText(m.Info->ChanName), kHello);
        }));
    samples.push_back(Sample<CSV_ASK_FINDID>(
        "CSV_ASK_FINDID", 20, [](CSV_ASK_FINDID& m) { return m.Set("seeker"); },
        [](const CSV_ASK_FINDID& m) { EXPECT_EQ(m.UserID->View(), "seeker"); }));
    samples.push_back(Sample<CSV_RESULT_FINDID>(
        "CSV_RESULT_FINDID", 76,
        [](CSV_RESULT_FINDID& m) {
            FINDIDRESULT found;
            CopyIfShorter(found.ID, "found");
            CopyIfShorter(found.NickName, kKimNick);
            found.ChanNo = 4;
            CopyIfShorter(found.ChanName, kHello);
            found.Place = 3;
            found.RoomNo = 55;
            return m.Set(found);
        },
        [](const CSV_RESULT_FINDID& m) {
            EXPECT_EQ(ReadText(m.Info->ID), "found");
            EXPECT_EQ(ReadText(m.Info->NickName), kKimNick);
            EXPECT_EQ(m.Info->ChanNo, 4);
            EXPECT_EQ(ReadText(m.Info->ChanName), kHello);
            EXPECT_EQ(m.Info->Place, 3);
            EXPECT_EQ(m.Info->RoomNo, 55);
        }));
    samples.push_back(EmptySample<CSV_ASK_ALLCHANINFO>("CSV_ASK_ALLCHANINFO"));
    samples.push_back(Sample<CSV_ALLCHANINFO>(
        "CSV_ALLCHANINFO", 8 + 2 * 28 + 3 * 12,
        [](CSV_ALLCHANINFO& m) {
            std::array<CHANNELGROUPINFO, 2> groups;
            groups[0].GroupNo = 1;
            CopyIfShorter(groups[0].Name, kHello);
            groups[1].GroupNo = 2;
            CopyIfShorter(groups[1].Name, "free");
            std::array<CHANNELINFO, 3> channels;
            for (int i = 0; i < 3; ++i) {
                channels[i].GroupNo = static_cast<std::int16_t>(i + 1);
                channels[i].ChanNo = static_cast<std::int16_t>(10 + i);
                channels[i].UserCnt = static_cast<std::int16_t>(100 * i);
                channels[i].MaxUser = 300;
                channels[i].Closed = static_cast<std::int8_t>(i == 2);
            }
            return m.Set(groups, channels);
        },
        [](const CSV_ALLCHANINFO& m) {
            ASSERT_EQ(m.GroupList().size(), 2u);
            ASSERT_EQ(m.ChannelList().size(), 3u);
            EXPECT_EQ(ChannelDisplayName(m.GroupList(), m.ChannelList()[0]), kHello + "-10");
            EXPECT_EQ(ChannelDisplayName(m.GroupList(), m.ChannelList()[1]), "free-11");
            EXPECT_EQ(ChannelDisplayName(m.GroupList(), m.ChannelList()[2]), "");
            EXPECT_EQ(m.ChannelList()[1].UserCnt, 100);
            EXPECT_EQ(m.ChannelList()[2].MaxUser, 300);
            EXPECT_EQ(m.ChannelList()[2].Closed, 1);
        }));
    return samples;
}

std::vector<MessageSample> LobbyRequestSamples()
{
    std::vector<MessageSample> samples;
    samples.push_back(Sample<CSV_ASK_DETAILUSERINFO>(
        "CSV_ASK_DETAILUSERINFO", 24, [](CSV_ASK_DETAILUSERINFO& m) { return m.Set(-1, kKimNick); },
        [](const CSV_ASK_DETAILUSERINFO& m) {
            EXPECT_EQ(*m.UNum, -1);
            EXPECT_EQ(m.NickName->View(), kKimNick);
        }));
    samples.push_back(Sample<CSV_ASK_BADUSER>(
        "CSV_ASK_BADUSER", 12 + 16 + 16 + 20 + 64 + 4 + 0 + 4 + static_cast<int>(kHello.size()),
        [](CSV_ASK_BADUSER& m) { return m.Set(1, 0, 42, "me", "bad", kKimNick, "swearing", "", kHello); },
        [](const CSV_ASK_BADUSER& m) {
            EXPECT_EQ(*m.CheckValue, 1);
            EXPECT_EQ(*m.RoomNo, 0);
            EXPECT_EQ(*m.UNum, 42);
            EXPECT_EQ(m.UserID->View(), "me");
            EXPECT_EQ(m.BadUserID->View(), "bad");
            EXPECT_EQ(m.BadUserNick->View(), kKimNick);
            EXPECT_EQ(m.Reason->View(), "swearing");
            EXPECT_EQ(*m.FreeTextLen, 0);
            EXPECT_EQ(m.FreeText, nullptr);
            EXPECT_EQ(m.ExcerptView(), kHello);
        }));
    samples.push_back(EmptySample<CSV_ASK_ALLROOMINFO>("CSV_ASK_ALLROOMINFO"));
    samples.push_back(ValueSample<CSV_ASK_ROOMINFO>("CSV_ASK_ROOMINFO", 37));
    samples.push_back(EmptySample<CSV_ASK_ALLUSERINFO>("CSV_ASK_ALLUSERINFO"));
    samples.push_back(Sample<CSV_ASK_USERINFO>(
        "CSV_ASK_USERINFO", 20, [](CSV_ASK_USERINFO& m) { return m.Set(77, "target"); },
        [](const CSV_ASK_USERINFO& m) {
            EXPECT_EQ(*m.UNum, 77);
            EXPECT_EQ(m.UserID->View(), "target");
        }));
    samples.push_back(Sample<CSV_ASK_CHANGECHAR>(
        "CSV_ASK_CHANGECHAR", 24, [](CSV_ASK_CHANGECHAR& m) { return m.Set(78, "changer", 72); },
        [](const CSV_ASK_CHANGECHAR& m) {
            EXPECT_EQ(*m.UNum, 78);
            EXPECT_EQ(m.UserID->View(), "changer");
            EXPECT_EQ(*m.CharNo, 72);
        }));
    samples.push_back(RoomSample<CSV_ASK_CREATEROOM>("CSV_ASK_CREATEROOM"));
    samples.push_back(Sample<CSV_ASK_ENTERROOM>(
        "CSV_ASK_ENTERROOM", 29, [](CSV_ASK_ENTERROOM& m) { return m.Set(12, 79, "enterer", "9876"); },
        [](const CSV_ASK_ENTERROOM& m) {
            EXPECT_EQ(*m.RoomNo, 12);
            EXPECT_EQ(*m.UNum, 79);
            EXPECT_EQ(m.UserID->View(), "enterer");
            EXPECT_EQ(m.Password->View(), "9876");
        }));
    samples.push_back(ValueSample<CSV_LOBYOPEN>("CSV_LOBYOPEN", 1));
    samples.push_back(Sample<CSV_ASK_OUTROOM>(
        "CSV_ASK_OUTROOM", 24, [](CSV_ASK_OUTROOM& m) { return m.Set(12, 80, "leaver"); },
        [](const CSV_ASK_OUTROOM& m) {
            EXPECT_EQ(*m.RoomNo, 12);
            EXPECT_EQ(*m.UNum, 80);
            EXPECT_EQ(m.UserID->View(), "leaver");
        }));
    samples.push_back(Sample<CSV_ASK_INVITE>(
        "CSV_ASK_INVITE", 4 + 16 + 4 + 5 + 212 + 4 + static_cast<int>(kHello.size()),
        [](CSV_ASK_INVITE& m) { return m.Set(81, "invitee", 12, "12", SampleUser(82), kHello); },
        [](const CSV_ASK_INVITE& m) {
            EXPECT_EQ(*m.TargetUNum, 81);
            EXPECT_EQ(m.TargetID->View(), "invitee");
            EXPECT_EQ(*m.RoomNo, 12);
            EXPECT_EQ(m.Password->View(), "12");
            ExpectSampleUser(*m.Inviter, 82);
            EXPECT_EQ(m.TextView(), kHello);
        }));
    samples.push_back(Sample<CSV_REFUSE_INVITE>(
        "CSV_REFUSE_INVITE", 4 + 16 + 16 + 4 + 2,
        [](CSV_REFUSE_INVITE& m) { return m.Set(82, "player82", "invitee", "no"); },
        [](const CSV_REFUSE_INVITE& m) {
            EXPECT_EQ(*m.InviterUNum, 82);
            EXPECT_EQ(m.InviterID->View(), "player82");
            EXPECT_EQ(m.UserID->View(), "invitee");
            EXPECT_EQ(m.TextView(), "no");
        }));
    samples.push_back(ValueSample<CSV_NOWHISPER>("CSV_NOWHISPER", 1));
    samples.push_back(Sample<CSV_ASK_FORCEBANISH>(
        "CSV_ASK_FORCEBANISH", 16, [](CSV_ASK_FORCEBANISH& m) { return m.Set("troll"); },
        [](const CSV_ASK_FORCEBANISH& m) { EXPECT_EQ(m.UserID->View(), "troll"); }));
    samples.push_back(Sample<CSV_ASK_GAMEITEMLIST>(
        "CSV_ASK_GAMEITEMLIST", 8, [](CSV_ASK_GAMEITEMLIST& m) { return m.Set(401, 2); },
        [](const CSV_ASK_GAMEITEMLIST& m) {
            EXPECT_EQ(*m.ItemCode, 401);
            EXPECT_EQ(*m.ItemNo, 2);
        }));
    samples.push_back(Sample<CSV_CHATDATA>(
        "CSV_CHATDATA", 16 + 2 + static_cast<int>(kHello.size()),
        [](CSV_CHATDATA& m) { return m.Set("chatter", kHello); },
        [](const CSV_CHATDATA& m) {
            EXPECT_EQ(m.UserID->View(), "chatter");
            EXPECT_EQ(m.TextView(), kHello);
        }));
    samples.push_back(Sample<CSV_WHISPERCHAT>(
        "CSV_WHISPERCHAT", 16 + 20 + 4 + 20 + 2 + 4,
        [](CSV_WHISPERCHAT& m) { return m.Set("whisperer", kKimNick, 83, "target", "psst"); },
        [](const CSV_WHISPERCHAT& m) {
            EXPECT_EQ(m.UserID->View(), "whisperer");
            EXPECT_EQ(m.NickName->View(), kKimNick);
            EXPECT_EQ(*m.TargetUNum, 83);
            EXPECT_EQ(m.TargetNick->View(), "target");
            EXPECT_EQ(m.TextView(), "psst");
        }));
    return samples;
}

std::vector<MessageSample> LobbyEventSamples()
{
    std::vector<MessageSample> samples;
    samples.push_back(UserSample<CSV_DETAILUSERINFO>("CSV_DETAILUSERINFO"));
    samples.push_back(UserSample<CSV_USERINFO>("CSV_USERINFO"));
    samples.push_back(Sample<CSV_ALLUSERINFO>(
        "CSV_ALLUSERINFO", 4 + 2 * 64,
        [](CSV_ALLUSERINFO& m) {
            const std::array users{SampleSmallUser(1), SampleSmallUser(2)};
            return m.Set(users);
        },
        [](const CSV_ALLUSERINFO& m) {
            ASSERT_EQ(m.List().size(), 2u);
            ExpectSampleSmallUser(m.List()[0], 1);
            ExpectSampleSmallUser(m.List()[1], 2);
        }));
    samples.push_back(SmallUserSample<CSV_NEWUSER>("CSV_NEWUSER"));
    samples.push_back(SmallUserSample<CSV_OUTUSER>("CSV_OUTUSER"));
    samples.push_back(SmallUserSample<CSV_CHANGEUSER>("CSV_CHANGEUSER"));
    samples.push_back(ValueSample<CSV_ACCEPT_CHANGECHAR>("CSV_ACCEPT_CHANGECHAR", 33));
    samples.push_back(ValueSample<CSV_REFUSE_CREATEROOM>("CSV_REFUSE_CREATEROOM", 999));
    samples.push_back(RoomSample<CSV_ACCEPT_CREATEROOM>("CSV_ACCEPT_CREATEROOM"));
    samples.push_back(Sample<CSV_ALLROOMINFO>(
        "CSV_ALLROOMINFO", 4 + 3 * 96,
        [](CSV_ALLROOMINFO& m) {
            const std::array rooms{SampleRoom(1), SampleRoom(2), SampleRoom(3)};
            return m.Set(rooms);
        },
        [](const CSV_ALLROOMINFO& m) {
            ASSERT_EQ(m.List().size(), 3u);
            for (int i = 0; i < 3; ++i) ExpectSampleRoom(m.List()[static_cast<std::size_t>(i)], i + 1);
        }));
    samples.push_back(Sample<CSV_ROOMINFO>(
        "CSV_ROOMINFO", 4 + 520, [](CSV_ROOMINFO& m) { return m.Set(0, SampleGame()); },
        [](const CSV_ROOMINFO& m) {
            EXPECT_EQ(*m.Result, 0);
            ExpectSampleGame(*m.GI);
        }));
    samples.push_back(RoomSample<CSV_NEWROOM>("CSV_NEWROOM"));
    samples.push_back(SmallRoomSample<CSV_OUTROOM>("CSV_OUTROOM"));
    samples.push_back(SmallRoomSample<CSV_CHANGEROOM>("CSV_CHANGEROOM"));
    samples.push_back(Sample<CSV_USEROUTROOM>(
        "CSV_USEROUTROOM", 24, [](CSV_USEROUTROOM& m) { return m.Set(5, 6, "gone"); },
        [](const CSV_USEROUTROOM& m) {
            EXPECT_EQ(*m.Value1, 5);
            EXPECT_EQ(*m.Value2, 6);
            EXPECT_EQ(m.UserID->View(), "gone");
        }));
    samples.push_back(EmptySample<CSV_ACCEPT_OUTROOM>("CSV_ACCEPT_OUTROOM"));
    samples.push_back(Sample<CSV_CHANGEROOMMASTER>(
        "CSV_CHANGEROOMMASTER", 24, [](CSV_CHANGEROOMMASTER& m) { return m.Set(7, 84, "boss"); },
        [](const CSV_CHANGEROOMMASTER& m) {
            EXPECT_EQ(*m.Value, 7);
            EXPECT_EQ(*m.MasterUNum, 84);
            EXPECT_EQ(m.MasterID->View(), "boss");
        }));
    samples.push_back(EmptySample<CSV_ABNORMALOUTROOM>("CSV_ABNORMALOUTROOM"));
    samples.push_back(Sample<CSV_ACCEPT_ENTERROOM>(
        "CSV_ACCEPT_ENTERROOM", 528,
        [](CSV_ACCEPT_ENTERROOM& m) {
            ENTERROOMINFO info;
            info.GI = SampleGame();
            info.Seat[0].seated = 1;
            info.Seat[1].inGame = 1;
            return m.Set(info);
        },
        [](const CSV_ACCEPT_ENTERROOM& m) {
            ExpectSampleGame(m.Info->GI);
            EXPECT_EQ(m.Info->Seat[0].seated, 1);
            EXPECT_EQ(m.Info->Seat[0].inGame, 0);
            EXPECT_EQ(m.Info->Seat[1].seated, 0);
            EXPECT_EQ(m.Info->Seat[1].inGame, 1);
        }));
    samples.push_back(ValueSample<CSV_REFUSE_ENTERROOM>("CSV_REFUSE_ENTERROOM", 20));
    samples.push_back(Sample<CSV_USERENTERROOM>(
        "CSV_USERENTERROOM", 216, [](CSV_USERENTERROOM& m) { return m.Set(1, SampleUser(85)); },
        [](const CSV_USERENTERROOM& m) {
            EXPECT_EQ(*m.Value, 1);
            ExpectSampleUser(*m.UI, 85);
        }));
    samples.push_back(Sample<CSV_GAMEITEMLIST>(
        "CSV_GAMEITEMLIST", 36 + 2 * 52 + 3 + 0,
        [](CSV_GAMEITEMLIST& m) {
            ITEMLISTHEAD head;
            head.Purpose = 2;
            head.ServerTime.wMonth = 8;
            const std::array items{SampleItem(401), SampleItem(402)};
            return m.Set(head, items, "abc", "");
        },
        [](const CSV_GAMEITEMLIST& m) {
            EXPECT_EQ(m.Head->Purpose, 2);
            EXPECT_EQ(m.Head->KeepList, 0);
            EXPECT_EQ(m.Head->ItemCnt, 2);
            EXPECT_EQ(m.Head->ServerTime.wMonth, 8);
            ASSERT_EQ(m.ItemList().size(), 2u);
            ExpectSampleItem(m.ItemList()[0], 401);
            ExpectSampleItem(m.ItemList()[1], 402);
            EXPECT_EQ(std::string_view(m.Text1, 3), "abc");
            EXPECT_EQ(m.Text2, nullptr);
        }));
    samples.push_back(Sample<CSV_BUYGAMEITEM>(
        "CSV_BUYGAMEITEM", 268 + static_cast<int>(kHello.size()),
        [](CSV_BUYGAMEITEM& m) {
            BUYITEMHEAD head;
            head.Purpose = 1;
            head.ItemCode = 401;
            return m.Set(head, kHello);
        },
        [](const CSV_BUYGAMEITEM& m) {
            EXPECT_EQ(m.Head->Purpose, 1);
            EXPECT_EQ(m.Head->ItemCode, 401);
            EXPECT_EQ(BytesView(m.Text, &m.Head->TextLen), kHello);
        }));
    samples.push_back(Sample<CSV_SERVERMSG>(
        "CSV_SERVERMSG", 4 + 2 + static_cast<int>(kHello.size()),
        [](CSV_SERVERMSG& m) { return m.Set(1, kHello); },
        [](const CSV_SERVERMSG& m) {
            EXPECT_EQ(*m.Kind, 1);
            EXPECT_EQ(m.TextView(), kHello);
        }));
    samples.push_back(Sample<CSV_GAMEOVERRESULT>(
        "CSV_GAMEOVERRESULT", 4 + 2 * 44,
        [](CSV_GAMEOVERRESULT& m) {
            const std::array results{SampleResult("winner", 15), SampleResult("loser", -15)};
            return m.Set(results);
        },
        [](const CSV_GAMEOVERRESULT& m) {
            EXPECT_EQ(*m.Count, 2);
            ExpectSampleResult(m.Result(0), "winner", 15);
            ExpectSampleResult(m.Result(1), "loser", -15);
        }));
    samples.push_back(Sample<CSV_EVENTNOTICE>(
        "CSV_EVENTNOTICE", 2 + 4 + static_cast<int>(kHello.size()) + 4 + 16 + 8,
        [](CSV_EVENTNOTICE& m) { return m.Set(1, kHello, 0x00FF8040, 3); },
        [](const CSV_EVENTNOTICE& m) {
            EXPECT_EQ(*m.Kind, 1);
            EXPECT_EQ(m.TextView(), kHello);
            EXPECT_EQ(m.Tail->Colour, 0x00FF8040);
            EXPECT_EQ(m.Tail->PeakState, 3);
        }));
    samples.push_back(ValueSample<CSV_AUGUSTEVENTMSG_CNT>("CSV_AUGUSTEVENTMSG_CNT", 12));
    samples.push_back(Sample<CSV_AUGUSTEVENTMSG_POINTUP>(
        "CSV_AUGUSTEVENTMSG_POINTUP", 12, [](CSV_AUGUSTEVENTMSG_POINTUP& m) { return m.Set(13, 14, -15); },
        [](const CSV_AUGUSTEVENTMSG_POINTUP& m) {
            EXPECT_EQ(*m.EventCount, 13);
            EXPECT_EQ(*m.EventValue1, 14);
            EXPECT_EQ(*m.EventValue2, -15);
        }));
    samples.push_back(ValueSample<CSV_EVENT_TIMERANGE_ALERT>("CSV_EVENT_TIMERANGE_ALERT", 4));
    return samples;
}

std::vector<MessageSample> RelaySamples()
{
    std::vector<MessageSample> samples;
    samples.push_back(Sample<CCL_EXITSUBSCRIPT>(
        "CCL_EXITSUBSCRIPT", 28, [](CCL_EXITSUBSCRIPT& m) { return m.Set(12, 86, "quitter", 1); },
        [](const CCL_EXITSUBSCRIPT& m) {
            EXPECT_EQ(m.Info->RoomNo, 12);
            EXPECT_EQ(m.Info->UNum, 86);
            EXPECT_EQ(ReadText(m.Info->ID), "quitter");
            EXPECT_EQ(m.Info->reserve, 1);
        }));
    samples.push_back(Sample<CCL_CHATDATA>(
        "CCL_CHATDATA", 23 + static_cast<int>(kHello.size()),
        [](CCL_CHATDATA& m) { return m.Set(12, "talker", kHello); },
        [](const CCL_CHATDATA& m) {
            EXPECT_EQ(m.Head->RoomNo, 12);
            EXPECT_EQ(ReadText(m.Head->ID), "talker");
            EXPECT_EQ(m.Head->zero, 0);
            EXPECT_EQ(m.TextView(), kHello);
        }));
    samples.push_back(RelayIDSample<CCL_READYTOSTART>("CCL_READYTOSTART"));
    samples.push_back(Sample<CCL_ASK_STARTGAME>(
        "CCL_ASK_STARTGAME", 24, [](CCL_ASK_STARTGAME& m) { return m.Set(12, 1, "owner"); },
        [](const CCL_ASK_STARTGAME& m) {
            EXPECT_EQ(m.Info->RoomNo, 12);
            EXPECT_EQ(m.Info->ServerNum, 1);
            EXPECT_EQ(ReadText(m.Info->ID), "owner");
        }));
    samples.push_back(Sample<CCL_STARTINFO>(
        "CCL_STARTINFO", 52,
        [](CCL_STARTINFO& m) {
            STARTINFO start;
            SetRelayID(start.ID[0], "han");
            SetRelayID(start.ID[1], "cho");
            start.Seat[0] = {1, 1, 1, 0};
            start.Seat[1] = {1, 1, 2, 0};
            start.Pebble[0] = 1000;
            start.Pebble[1] = 2000;
            return m.Set(start);
        },
        [](const CCL_STARTINFO& m) {
            EXPECT_EQ(ReadText(m.Info->ID[0]), "han");
            EXPECT_EQ(ReadText(m.Info->ID[1]), "cho");
            EXPECT_EQ(m.Info->Seat[0].side, 1);
            EXPECT_EQ(m.Info->Seat[1].side, 2);
            EXPECT_EQ(m.Info->Seat[1].inGame, 1);
            EXPECT_EQ(m.Info->Pebble[0], 1000);
            EXPECT_EQ(m.Info->Pebble[1], 2000);
        }));
    samples.push_back(Sample<CCL_STONECLICK>(
        "CCL_STONECLICK", 20,
        [](CCL_STONECLICK& m) {
            STONECLICK click;
            SetRelayID(click.ID, "clicker");
            click.StoneIndex = 15;
            return m.Set(click);
        },
        [](const CCL_STONECLICK& m) {
            EXPECT_EQ(ReadText(m.Info->ID), "clicker");
            EXPECT_EQ(m.Info->StoneIndex, 15);
        }));
    samples.push_back(Sample<CCL_USEITEM>(
        "CCL_USEITEM", 20,
        [](CCL_USEITEM& m) {
            USEITEM use;
            SetRelayID(use.ID, "user");
            use.ItemKind = 3;
            return m.Set(use);
        },
        [](const CCL_USEITEM& m) {
            EXPECT_EQ(ReadText(m.Info->ID), "user");
            EXPECT_EQ(m.Info->ItemKind, 3);
        }));
    samples.push_back(Sample<CCL_CHANGEITEM>(
        "CCL_CHANGEITEM", 24,
        [](CCL_CHANGEITEM& m) {
            CHANGEITEM change;
            SetRelayID(change.ID, "changer");
            change.MinorIndex = 9;
            change.MajorIndex = 8;
            return m.Set(change);
        },
        [](const CCL_CHANGEITEM& m) {
            EXPECT_EQ(ReadText(m.Info->ID), "changer");
            EXPECT_EQ(m.Info->MinorIndex, 9);
            EXPECT_EQ(m.Info->MajorIndex, 8);
        }));
    samples.push_back(Sample<CCL_TELEPORTITEM>(
        "CCL_TELEPORTITEM", 28,
        [](CCL_TELEPORTITEM& m) {
            TELEPORTITEM teleport;
            SetRelayID(teleport.ID, "jumper");
            teleport.StoneIndex = 4;
            teleport.TargetX = 595;
            teleport.TargetY = -1;
            return m.Set(teleport);
        },
        [](const CCL_TELEPORTITEM& m) {
            EXPECT_EQ(ReadText(m.Info->ID), "jumper");
            EXPECT_EQ(m.Info->StoneIndex, 4);
            EXPECT_EQ(m.Info->TargetX, 595);
            EXPECT_EQ(m.Info->TargetY, -1);
        }));
    samples.push_back(Sample<CCL_NUCLEARITEM>(
        "CCL_NUCLEARITEM", 20,
        [](CCL_NUCLEARITEM& m) {
            NUCLEARITEM nuclear;
            SetRelayID(nuclear.ID, "bomber");
            nuclear.StoneIndex = 0;
            return m.Set(nuclear);
        },
        [](const CCL_NUCLEARITEM& m) {
            EXPECT_EQ(ReadText(m.Info->ID), "bomber");
            EXPECT_EQ(m.Info->StoneIndex, 0);
        }));
    samples.push_back(Sample<CCL_STONEHIT>(
        "CCL_STONEHIT", 28,
        [](CCL_STONEHIT& m) {
            STONEHITINFO hit;
            SetRelayID(hit.ID, "flicker");
            hit.StoneIndex = 7;
            hit.Angle = 359.875f;
            hit.Power = 12.5f;
            return m.Set(hit);
        },
        [](const CCL_STONEHIT& m) {
            EXPECT_EQ(ReadText(m.Info->ID), "flicker");
            EXPECT_EQ(m.Info->StoneIndex, 7);
            EXPECT_EQ(m.Info->Angle, 359.875f);
            EXPECT_EQ(m.Info->Power, 12.5f);
        }));
    samples.push_back(Sample<CCL_RESULTSTONEHIT>(
        "CCL_RESULTSTONEHIT", 20 + 3 * 4,
        [](CCL_RESULTSTONEHIT& m) {
            RESULTSTONEHITINFO head;
            SetRelayID(head.ID, "shooter");
            head.DropCount = 3;
            DROPSTONEINFO drops;
            drops.StoneIndex[0] = 15;
            drops.StoneIndex[1] = 0;
            drops.StoneIndex[2] = 9;
            drops.StoneIndex[3] = 99;  // beyond the count: never sent
            return m.Set(head, drops);
        },
        [](const CCL_RESULTSTONEHIT& m) {
            EXPECT_EQ(ReadText(m.Head->ID), "shooter");
            ASSERT_EQ(m.DropList().size(), 3u);
            EXPECT_EQ(m.DropList()[0], 15);
            EXPECT_EQ(m.DropList()[1], 0);
            EXPECT_EQ(m.DropList()[2], 9);
        }));
    samples.push_back(Sample<CCL_NEXTPLAYER>(
        "CCL_NEXTPLAYER", 24,
        [](CCL_NEXTPLAYER& m) {
            NEXTPLAYER next;
            SetRelayID(next.ID, "next");
            next.Gauge = 7.5f;
            next.OtherGauge = 12.0f;
            return m.Set(next);
        },
        [](const CCL_NEXTPLAYER& m) {
            EXPECT_EQ(ReadText(m.Info->ID), "next");
            EXPECT_EQ(m.Info->Gauge, 7.5f);
            EXPECT_EQ(m.Info->OtherGauge, 12.0f);
        }));
    samples.push_back(RelayIDSample<CCL_TIMEOUTMYTURN>("CCL_TIMEOUTMYTURN"));
    return samples;
}

}  // namespace

const std::vector<MessageSample>& AllMessageSamples()
{
    static const std::vector<MessageSample> samples = [] {
        std::vector<MessageSample> all;
        for (auto part : {LoginSamples(), LobbyRequestSamples(), LobbyEventSamples(), RelaySamples()}) {
            for (auto& sample : part) all.push_back(std::move(sample));
        }
        return all;
    }();
    return samples;
}

std::vector<char> Scrambled(const std::vector<char>& plain, std::uint16_t seqNo)
{
    std::vector<char> copy = plain;
    net::WriteU16(copy.data() + net::kOffSeqNo, seqNo);
    EXPECT_TRUE(net::CCommMsg::EncodeAll(copy.data(), static_cast<int>(copy.size())));
    return copy;
}

}  // namespace tovrik::protocol::testing
