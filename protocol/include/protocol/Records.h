#pragma once

// The fixed-size records carried in server messages and kept in the client's
// lists. Every record is made of bytes and little-endian numbers only, so it
// has alignment 1, no padding, and the same layout on every host; the
// static_asserts below pin each size and offset to the wire layout.
// Default-constructed records are all zeros, which is also how reserved bytes
// must be sent.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "protocol/LittleEndian.h"
#include "protocol/RecordLayout.h"

namespace tovrik::protocol {

// Calendar time: eight unsigned 16-bit fields.
struct SYSTEMTIME {
    le_uint16 wYear;
    le_uint16 wMonth;
    le_uint16 wDayOfWeek;
    le_uint16 wDay;
    le_uint16 wHour;
    le_uint16 wMinute;
    le_uint16 wSecond;
    le_uint16 wMilliseconds;
};

struct USERINFO {
    le_int32 UNum;
    char ID[16]{};
    char NickName[20]{};
    std::int8_t Sex{};  // 1 = male
    std::int8_t PremGrade{};
    SYSTEMTIME PremExpire;
    std::int8_t PcRoomGrade{};
    std::uint8_t reserved1[1]{};
    le_int16 CharNo;
    std::uint8_t reserved2[2]{};
    le_int32 WinNum;
    le_int32 LoseNum;
    le_int32 DrawNum;
    le_int32 Point;
    le_int32 Pebble;
    std::uint8_t Avatar[52]{};  // handed whole to the avatar module
    char ProfileText[64]{};
    le_int32 EventCount;
    le_int32 EventValue1;
    le_int32 EventValue2;
};

// The avatar kind is the 16-bit word at byte 50 of the avatar description.
inline std::int16_t AvatarKind(const USERINFO& user)
{
    return LoadLE<std::int16_t>(user.Avatar + 50);
}

struct SMALLUSERINFO {
    le_int32 UNum;
    char ID[16]{};
    char NickName[20]{};
    le_int16 Sex;
    std::uint8_t reserved1[2]{};
    le_int32 WinNum;
    le_int32 LoseNum;
    le_int32 Point;
    le_int16 State;  // 3 = in a room
    std::uint8_t reserved2[2]{};
    le_int32 RoomNo;
};

struct ROOMINFO {
    le_int32 RoomNo;
    char Title[32]{};
    le_int32 MasterUNum;
    char MasterID[16]{};
    char MasterNick[20]{};
    le_int16 UserCnt;
    le_int16 MaxUser;
    le_int32 BetPebble;
    std::int8_t RoomLevel{};
    std::int8_t Secret{};
    std::int8_t Playing{};
    std::int8_t RoomOption{};
    char Password[5]{};
    std::int8_t SuperRoom{};
    std::uint8_t reserved[2]{};
};

struct SMALLROOMINFO {
    le_int32 RoomNo;
    std::uint8_t reserved1[4]{};
    char MasterID[16]{};
    char MasterNick[20]{};
    le_int16 UserCnt;
    le_int16 MaxUser;
    std::int8_t Playing{};
    std::uint8_t reserved2[3]{};
};

// One room and its two seats; a seat whose ID is empty is free.
struct GAMEINFO {
    ROOMINFO RI;
    USERINFO UI[2];
};

// The two participation flags the server keeps for one seat.
struct ENTERSEATINFO {
    std::int8_t seated{};
    std::int8_t inGame{};
    std::uint8_t reserved[2]{};
};

struct ENTERROOMINFO {
    GAMEINFO GI;
    ENTERSEATINFO Seat[2];
};

struct CHANNELINFO {
    le_int16 GroupNo;
    le_int16 ChanNo;
    le_int16 UserCnt;
    le_int16 MaxUser;
    std::int8_t Closed{};
    std::uint8_t reserved[3]{};
};

struct CHANNELGROUPINFO {
    le_int16 GroupNo;
    std::uint8_t reserved[2]{};
    char Name[24]{};
};

// The game server assigned by the master server, with a ticket that the
// login request hands back unchanged.
struct Ms_DestServerInfo {
    char IP[20]{};
    le_int32 Port;
    le_int32 Ticket1;
    le_int16 Ticket2;
    le_int16 Ticket3;
    le_int16 Ticket4;
    le_int16 Ticket5;
};

// Fixed part of the login request; the three cookies follow it.
struct ASK_LOGININFO {
    std::uint8_t reserved[32]{};
    char LocalIP[20]{};
    char HostIP[20]{};
    le_int32 LocalPort;  // local port of the game connection + 20000
    le_int32 AuthCookieLen;
    le_int32 DataCookieLen;
    le_int32 CpCookieLen;
    le_int32 Ticket1;
    le_int16 Ticket2;
    le_int16 Ticket3;
    le_int16 Ticket4;
    le_int16 Ticket5;
    char MachineID[32]{};  // not zero-terminated when exactly 32 long
};

// Ticket for moving to a channel on another game server, sent back as
// received; only the new user number is read.
struct CONNECT_MOVECHANINFO {
    std::uint8_t reserved1[20]{};
    le_int16 UNum;
    std::uint8_t reserved2[6]{};
};

struct LOGINACCEPTINFO {
    USERINFO UI;
    std::uint8_t reserved1[16]{};
    char UserCN[16]{};
    le_int16 GroupNo;
    le_int16 ChanNo;
    std::uint8_t reserved2[4]{};
    char ChanName[32]{};
    le_int32 ItemChannel;  // 1 = item channel
};

struct ENTERCHANINFO {
    le_int32 Result;  // >= 0 entered, -1..-5 refusals, below -99 ignore
    le_int16 GroupNo;
    le_int16 ChanNo;
    std::uint8_t reserved[4]{};
    le_int32 ItemChannel;
    char ChanName[32]{};
};

struct SERVERINFO {
    le_int32 GameCode;
    SYSTEMTIME ServerTime;
    char NoticeURL[64]{};
    char BannerURL1[64]{};
    char BannerURL2[64]{};
    char ProfileURL[64]{};
    char LocationURL[64]{};
    char AvatarShopURL[128]{};
    char ItemShopURL[128]{};
    char MyItemURL[128]{};
    char ChargeURL[128]{};
    char BoardURL[128]{};
};

struct FINDIDRESULT {
    char ID[16]{};  // empty = not connected or unknown
    char NickName[20]{};
    std::uint8_t reserved[2]{};
    le_int16 ChanNo;  // negative = not in a channel
    char ChanName[32]{};
    le_int16 Place;  // 0 channel choice, 1 lobby, 2 shop, 3 room
    le_int16 RoomNo;
};

struct GAMEITEM {
    std::uint8_t reserved1[8]{};
    le_int32 ItemCode;
    std::uint8_t reserved2[16]{};
    le_int16 UseDays;   // 0 = no period, negative = invalid
    le_int16 UseLimit;  // 0 = unlimited, negative = invalid
    SYSTEMTIME StartTime;
    le_int16 UsedCnt;
    std::uint8_t reserved3[2]{};
};

inline constexpr int kMaxGameItems = 30;

// The client's own list of owned items; never sent.
struct GAMEITEM_LIST {
    std::uint8_t reserved[8]{};
    le_int32 Count;
    GAMEITEM Item[kMaxGameItems];
};

struct ITEMLISTHEAD {
    le_int32 Purpose;   // 1 or 2 = follows a purchase
    le_int32 KeepList;  // 0 = the list replaces the client's list
    le_int32 ItemCnt;
    SYSTEMTIME ServerTime;
    le_int32 TextLen1;
    le_int32 TextLen2;
};

struct BUYITEMHEAD {
    le_int32 Purpose;
    std::uint8_t reserved[256]{};
    le_int32 ItemCode;
    le_int32 TextLen;
};

struct GAMEOVERRESULT {
    char ID[16]{};  // empty = no player
    le_int32 Pebble;
    le_int32 Point;
    le_int32 WinNum;
    le_int32 LoseNum;
    le_int32 reserved;
    le_int32 ChangePoint;  // > 0 won, < 0 lost, 0 draw
    le_int32 ChangeValue;  // carried, not read
};

// ---- layout checks ----------------------------------------------------------

TOVRIK_WIRE_RECORD(SYSTEMTIME, 16);
TOVRIK_WIRE_FIELD(SYSTEMTIME, wYear, 0);
TOVRIK_WIRE_FIELD(SYSTEMTIME, wMonth, 2);
TOVRIK_WIRE_FIELD(SYSTEMTIME, wDayOfWeek, 4);
TOVRIK_WIRE_FIELD(SYSTEMTIME, wDay, 6);
TOVRIK_WIRE_FIELD(SYSTEMTIME, wHour, 8);
TOVRIK_WIRE_FIELD(SYSTEMTIME, wMinute, 10);
TOVRIK_WIRE_FIELD(SYSTEMTIME, wSecond, 12);
TOVRIK_WIRE_FIELD(SYSTEMTIME, wMilliseconds, 14);

TOVRIK_WIRE_RECORD(USERINFO, 212);
TOVRIK_WIRE_FIELD(USERINFO, UNum, 0);
TOVRIK_WIRE_FIELD(USERINFO, ID, 4);
TOVRIK_WIRE_FIELD(USERINFO, NickName, 20);
TOVRIK_WIRE_FIELD(USERINFO, Sex, 40);
TOVRIK_WIRE_FIELD(USERINFO, PremGrade, 41);
TOVRIK_WIRE_FIELD(USERINFO, PremExpire, 42);
TOVRIK_WIRE_FIELD(USERINFO, PcRoomGrade, 58);
TOVRIK_WIRE_FIELD(USERINFO, reserved1, 59);
TOVRIK_WIRE_FIELD(USERINFO, CharNo, 60);
TOVRIK_WIRE_FIELD(USERINFO, reserved2, 62);
TOVRIK_WIRE_FIELD(USERINFO, WinNum, 64);
TOVRIK_WIRE_FIELD(USERINFO, LoseNum, 68);
TOVRIK_WIRE_FIELD(USERINFO, DrawNum, 72);
TOVRIK_WIRE_FIELD(USERINFO, Point, 76);
TOVRIK_WIRE_FIELD(USERINFO, Pebble, 80);
TOVRIK_WIRE_FIELD(USERINFO, Avatar, 84);
TOVRIK_WIRE_FIELD(USERINFO, ProfileText, 136);
TOVRIK_WIRE_FIELD(USERINFO, EventCount, 200);
TOVRIK_WIRE_FIELD(USERINFO, EventValue1, 204);
TOVRIK_WIRE_FIELD(USERINFO, EventValue2, 208);

TOVRIK_WIRE_RECORD(SMALLUSERINFO, 64);
TOVRIK_WIRE_FIELD(SMALLUSERINFO, UNum, 0);
TOVRIK_WIRE_FIELD(SMALLUSERINFO, ID, 4);
TOVRIK_WIRE_FIELD(SMALLUSERINFO, NickName, 20);
TOVRIK_WIRE_FIELD(SMALLUSERINFO, Sex, 40);
TOVRIK_WIRE_FIELD(SMALLUSERINFO, reserved1, 42);
TOVRIK_WIRE_FIELD(SMALLUSERINFO, WinNum, 44);
TOVRIK_WIRE_FIELD(SMALLUSERINFO, LoseNum, 48);
TOVRIK_WIRE_FIELD(SMALLUSERINFO, Point, 52);
TOVRIK_WIRE_FIELD(SMALLUSERINFO, State, 56);
TOVRIK_WIRE_FIELD(SMALLUSERINFO, reserved2, 58);
TOVRIK_WIRE_FIELD(SMALLUSERINFO, RoomNo, 60);

TOVRIK_WIRE_RECORD(ROOMINFO, 96);
TOVRIK_WIRE_FIELD(ROOMINFO, RoomNo, 0);
TOVRIK_WIRE_FIELD(ROOMINFO, Title, 4);
TOVRIK_WIRE_FIELD(ROOMINFO, MasterUNum, 36);
TOVRIK_WIRE_FIELD(ROOMINFO, MasterID, 40);
TOVRIK_WIRE_FIELD(ROOMINFO, MasterNick, 56);
TOVRIK_WIRE_FIELD(ROOMINFO, UserCnt, 76);
TOVRIK_WIRE_FIELD(ROOMINFO, MaxUser, 78);
TOVRIK_WIRE_FIELD(ROOMINFO, BetPebble, 80);
TOVRIK_WIRE_FIELD(ROOMINFO, RoomLevel, 84);
TOVRIK_WIRE_FIELD(ROOMINFO, Secret, 85);
TOVRIK_WIRE_FIELD(ROOMINFO, Playing, 86);
TOVRIK_WIRE_FIELD(ROOMINFO, RoomOption, 87);
TOVRIK_WIRE_FIELD(ROOMINFO, Password, 88);
TOVRIK_WIRE_FIELD(ROOMINFO, SuperRoom, 93);
TOVRIK_WIRE_FIELD(ROOMINFO, reserved, 94);

TOVRIK_WIRE_RECORD(SMALLROOMINFO, 52);
TOVRIK_WIRE_FIELD(SMALLROOMINFO, RoomNo, 0);
TOVRIK_WIRE_FIELD(SMALLROOMINFO, reserved1, 4);
TOVRIK_WIRE_FIELD(SMALLROOMINFO, MasterID, 8);
TOVRIK_WIRE_FIELD(SMALLROOMINFO, MasterNick, 24);
TOVRIK_WIRE_FIELD(SMALLROOMINFO, UserCnt, 44);
TOVRIK_WIRE_FIELD(SMALLROOMINFO, MaxUser, 46);
TOVRIK_WIRE_FIELD(SMALLROOMINFO, Playing, 48);
TOVRIK_WIRE_FIELD(SMALLROOMINFO, reserved2, 49);

TOVRIK_WIRE_RECORD(GAMEINFO, 520);
TOVRIK_WIRE_FIELD(GAMEINFO, RI, 0);
TOVRIK_WIRE_FIELD(GAMEINFO, UI, 96);
static_assert(offsetof(GAMEINFO, UI) + sizeof(USERINFO) == 308, "GAMEINFO.UI[1]");

TOVRIK_WIRE_RECORD(ENTERSEATINFO, 4);
TOVRIK_WIRE_FIELD(ENTERSEATINFO, seated, 0);
TOVRIK_WIRE_FIELD(ENTERSEATINFO, inGame, 1);
TOVRIK_WIRE_FIELD(ENTERSEATINFO, reserved, 2);

TOVRIK_WIRE_RECORD(ENTERROOMINFO, 528);
TOVRIK_WIRE_FIELD(ENTERROOMINFO, GI, 0);
TOVRIK_WIRE_FIELD(ENTERROOMINFO, Seat, 520);
static_assert(offsetof(ENTERROOMINFO, Seat) + sizeof(ENTERSEATINFO) == 524, "ENTERROOMINFO.Seat[1]");

TOVRIK_WIRE_RECORD(CHANNELINFO, 12);
TOVRIK_WIRE_FIELD(CHANNELINFO, GroupNo, 0);
TOVRIK_WIRE_FIELD(CHANNELINFO, ChanNo, 2);
TOVRIK_WIRE_FIELD(CHANNELINFO, UserCnt, 4);
TOVRIK_WIRE_FIELD(CHANNELINFO, MaxUser, 6);
TOVRIK_WIRE_FIELD(CHANNELINFO, Closed, 8);
TOVRIK_WIRE_FIELD(CHANNELINFO, reserved, 9);

TOVRIK_WIRE_RECORD(CHANNELGROUPINFO, 28);
TOVRIK_WIRE_FIELD(CHANNELGROUPINFO, GroupNo, 0);
TOVRIK_WIRE_FIELD(CHANNELGROUPINFO, reserved, 2);
TOVRIK_WIRE_FIELD(CHANNELGROUPINFO, Name, 4);

TOVRIK_WIRE_RECORD(Ms_DestServerInfo, 36);
TOVRIK_WIRE_FIELD(Ms_DestServerInfo, IP, 0);
TOVRIK_WIRE_FIELD(Ms_DestServerInfo, Port, 20);
TOVRIK_WIRE_FIELD(Ms_DestServerInfo, Ticket1, 24);
TOVRIK_WIRE_FIELD(Ms_DestServerInfo, Ticket2, 28);
TOVRIK_WIRE_FIELD(Ms_DestServerInfo, Ticket3, 30);
TOVRIK_WIRE_FIELD(Ms_DestServerInfo, Ticket4, 32);
TOVRIK_WIRE_FIELD(Ms_DestServerInfo, Ticket5, 34);

TOVRIK_WIRE_RECORD(ASK_LOGININFO, 132);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, reserved, 0);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, LocalIP, 32);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, HostIP, 52);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, LocalPort, 72);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, AuthCookieLen, 76);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, DataCookieLen, 80);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, CpCookieLen, 84);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, Ticket1, 88);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, Ticket2, 92);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, Ticket3, 94);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, Ticket4, 96);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, Ticket5, 98);
TOVRIK_WIRE_FIELD(ASK_LOGININFO, MachineID, 100);

TOVRIK_WIRE_RECORD(CONNECT_MOVECHANINFO, 28);
TOVRIK_WIRE_FIELD(CONNECT_MOVECHANINFO, reserved1, 0);
TOVRIK_WIRE_FIELD(CONNECT_MOVECHANINFO, UNum, 20);
TOVRIK_WIRE_FIELD(CONNECT_MOVECHANINFO, reserved2, 22);

TOVRIK_WIRE_RECORD(LOGINACCEPTINFO, 288);
TOVRIK_WIRE_FIELD(LOGINACCEPTINFO, UI, 0);
TOVRIK_WIRE_FIELD(LOGINACCEPTINFO, reserved1, 212);
TOVRIK_WIRE_FIELD(LOGINACCEPTINFO, UserCN, 228);
TOVRIK_WIRE_FIELD(LOGINACCEPTINFO, GroupNo, 244);
TOVRIK_WIRE_FIELD(LOGINACCEPTINFO, ChanNo, 246);
TOVRIK_WIRE_FIELD(LOGINACCEPTINFO, reserved2, 248);
TOVRIK_WIRE_FIELD(LOGINACCEPTINFO, ChanName, 252);
TOVRIK_WIRE_FIELD(LOGINACCEPTINFO, ItemChannel, 284);

TOVRIK_WIRE_RECORD(ENTERCHANINFO, 48);
TOVRIK_WIRE_FIELD(ENTERCHANINFO, Result, 0);
TOVRIK_WIRE_FIELD(ENTERCHANINFO, GroupNo, 4);
TOVRIK_WIRE_FIELD(ENTERCHANINFO, ChanNo, 6);
TOVRIK_WIRE_FIELD(ENTERCHANINFO, reserved, 8);
TOVRIK_WIRE_FIELD(ENTERCHANINFO, ItemChannel, 12);
TOVRIK_WIRE_FIELD(ENTERCHANINFO, ChanName, 16);

TOVRIK_WIRE_RECORD(SERVERINFO, 980);
TOVRIK_WIRE_FIELD(SERVERINFO, GameCode, 0);
TOVRIK_WIRE_FIELD(SERVERINFO, ServerTime, 4);
TOVRIK_WIRE_FIELD(SERVERINFO, NoticeURL, 20);
TOVRIK_WIRE_FIELD(SERVERINFO, BannerURL1, 84);
TOVRIK_WIRE_FIELD(SERVERINFO, BannerURL2, 148);
TOVRIK_WIRE_FIELD(SERVERINFO, ProfileURL, 212);
TOVRIK_WIRE_FIELD(SERVERINFO, LocationURL, 276);
TOVRIK_WIRE_FIELD(SERVERINFO, AvatarShopURL, 340);
TOVRIK_WIRE_FIELD(SERVERINFO, ItemShopURL, 468);
TOVRIK_WIRE_FIELD(SERVERINFO, MyItemURL, 596);
TOVRIK_WIRE_FIELD(SERVERINFO, ChargeURL, 724);
TOVRIK_WIRE_FIELD(SERVERINFO, BoardURL, 852);

TOVRIK_WIRE_RECORD(FINDIDRESULT, 76);
TOVRIK_WIRE_FIELD(FINDIDRESULT, ID, 0);
TOVRIK_WIRE_FIELD(FINDIDRESULT, NickName, 16);
TOVRIK_WIRE_FIELD(FINDIDRESULT, reserved, 36);
TOVRIK_WIRE_FIELD(FINDIDRESULT, ChanNo, 38);
TOVRIK_WIRE_FIELD(FINDIDRESULT, ChanName, 40);
TOVRIK_WIRE_FIELD(FINDIDRESULT, Place, 72);
TOVRIK_WIRE_FIELD(FINDIDRESULT, RoomNo, 74);

TOVRIK_WIRE_RECORD(GAMEITEM, 52);
TOVRIK_WIRE_FIELD(GAMEITEM, reserved1, 0);
TOVRIK_WIRE_FIELD(GAMEITEM, ItemCode, 8);
TOVRIK_WIRE_FIELD(GAMEITEM, reserved2, 12);
TOVRIK_WIRE_FIELD(GAMEITEM, UseDays, 28);
TOVRIK_WIRE_FIELD(GAMEITEM, UseLimit, 30);
TOVRIK_WIRE_FIELD(GAMEITEM, StartTime, 32);
TOVRIK_WIRE_FIELD(GAMEITEM, UsedCnt, 48);
TOVRIK_WIRE_FIELD(GAMEITEM, reserved3, 50);

TOVRIK_WIRE_RECORD(GAMEITEM_LIST, 12 + 52 * kMaxGameItems);
TOVRIK_WIRE_FIELD(GAMEITEM_LIST, reserved, 0);
TOVRIK_WIRE_FIELD(GAMEITEM_LIST, Count, 8);
TOVRIK_WIRE_FIELD(GAMEITEM_LIST, Item, 12);

TOVRIK_WIRE_RECORD(ITEMLISTHEAD, 36);
TOVRIK_WIRE_FIELD(ITEMLISTHEAD, Purpose, 0);
TOVRIK_WIRE_FIELD(ITEMLISTHEAD, KeepList, 4);
TOVRIK_WIRE_FIELD(ITEMLISTHEAD, ItemCnt, 8);
TOVRIK_WIRE_FIELD(ITEMLISTHEAD, ServerTime, 12);
TOVRIK_WIRE_FIELD(ITEMLISTHEAD, TextLen1, 28);
TOVRIK_WIRE_FIELD(ITEMLISTHEAD, TextLen2, 32);

TOVRIK_WIRE_RECORD(BUYITEMHEAD, 268);
TOVRIK_WIRE_FIELD(BUYITEMHEAD, Purpose, 0);
TOVRIK_WIRE_FIELD(BUYITEMHEAD, reserved, 4);
TOVRIK_WIRE_FIELD(BUYITEMHEAD, ItemCode, 260);
TOVRIK_WIRE_FIELD(BUYITEMHEAD, TextLen, 264);

TOVRIK_WIRE_RECORD(GAMEOVERRESULT, 44);
TOVRIK_WIRE_FIELD(GAMEOVERRESULT, ID, 0);
TOVRIK_WIRE_FIELD(GAMEOVERRESULT, Pebble, 16);
TOVRIK_WIRE_FIELD(GAMEOVERRESULT, Point, 20);
TOVRIK_WIRE_FIELD(GAMEOVERRESULT, WinNum, 24);
TOVRIK_WIRE_FIELD(GAMEOVERRESULT, LoseNum, 28);
TOVRIK_WIRE_FIELD(GAMEOVERRESULT, reserved, 32);
TOVRIK_WIRE_FIELD(GAMEOVERRESULT, ChangePoint, 36);
TOVRIK_WIRE_FIELD(GAMEOVERRESULT, ChangeValue, 40);

}  // namespace tovrik::protocol
