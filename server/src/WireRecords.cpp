#include "WireRecords.h"

#include <algorithm>

#include "protocol/TextField.h"

namespace tovrik::server {

protocol::SYSTEMTIME ToSystemTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  protocol::SYSTEMTIME time;
  time.wYear = static_cast<std::uint16_t>(local.tm_year + 1900);
  time.wMonth = static_cast<std::uint16_t>(local.tm_mon + 1);
  time.wDayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
  time.wDay = static_cast<std::uint16_t>(local.tm_mday);
  time.wHour = static_cast<std::uint16_t>(local.tm_hour);
  time.wMinute = static_cast<std::uint16_t>(local.tm_min);
  time.wSecond = static_cast<std::uint16_t>(local.tm_sec);
  return time;
}

protocol::USERINFO ToUserInfo(const UserRecord& user) {
  protocol::USERINFO info;
  info.UNum = static_cast<std::int32_t>(user.id);
  protocol::CopyAtMost(info.ID, user.loginId, 15);
  protocol::CopyAtMost(info.NickName, user.nickname, 19);
  info.Sex = static_cast<std::int8_t>(user.sex);
  info.PremGrade = static_cast<std::int8_t>(user.premium);
  info.PcRoomGrade = static_cast<std::int8_t>(user.pcRoomGrade);
  info.CharNo = static_cast<std::int16_t>(user.charNo);
  info.WinNum = user.wins;
  info.LoseNum = user.losses;
  info.DrawNum = user.draws;
  info.Point = user.points;
  info.Pebble = user.money;
  std::copy(user.avatar.begin(), user.avatar.end(), info.Avatar);
  protocol::CopyAtMost(info.ProfileText, user.profile, 63);
  return info;
}

protocol::SMALLUSERINFO ToSmallUserInfo(const ChannelMember& member) {
  protocol::SMALLUSERINFO info;
  info.UNum = static_cast<std::int32_t>(member.user.id);
  protocol::CopyAtMost(info.ID, member.user.loginId, 15);
  protocol::CopyAtMost(info.NickName, member.user.nickname, 19);
  info.Sex = static_cast<std::int16_t>(member.user.sex);
  info.WinNum = member.user.wins;
  info.LoseNum = member.user.losses;
  info.Point = member.user.points;
  info.State = static_cast<std::int16_t>(member.roomNo != 0 ? 3 : 1);
  info.RoomNo = member.roomNo;
  return info;
}

protocol::ROOMINFO ToRoomInfo(const Channel& channel, const Room& room, bool withPassword) {
  protocol::ROOMINFO info;
  info.RoomNo = room.roomNo;
  protocol::CopyAtMost(info.Title, room.settings.title, 31);
  info.MasterUNum = static_cast<std::int32_t>(room.master);
  if (const ChannelMember* master = channel.FindMember(room.master)) {
    protocol::CopyAtMost(info.MasterID, master->user.loginId, 15);
    protocol::CopyAtMost(info.MasterNick, master->user.nickname, 19);
  }
  info.UserCnt = static_cast<std::int16_t>(room.UserCount());
  info.MaxUser = static_cast<std::int16_t>(Room::kSeats);
  info.BetPebble = room.settings.bet;
  info.RoomLevel = static_cast<std::int8_t>(room.settings.level);
  info.Secret = room.settings.secret ? 1 : 0;
  info.Playing = room.playing ? 1 : 0;
  info.RoomOption = static_cast<std::int8_t>(room.settings.option);
  // Only the room's own users see its password; the room list goes to every lobby.
  if (withPassword) protocol::CopyAtMost(info.Password, room.settings.password, 4);
  info.SuperRoom = room.settings.superRoom ? 1 : 0;
  return info;
}

protocol::SMALLROOMINFO ToSmallRoomInfo(const Channel& channel, const Room& room) {
  const protocol::ROOMINFO full = ToRoomInfo(channel, room, false);
  protocol::SMALLROOMINFO info;
  info.RoomNo = full.RoomNo;
  std::copy(std::begin(full.MasterID), std::end(full.MasterID), info.MasterID);
  std::copy(std::begin(full.MasterNick), std::end(full.MasterNick), info.MasterNick);
  info.UserCnt = full.UserCnt;
  info.MaxUser = full.MaxUser;
  info.Playing = full.Playing;
  return info;
}

protocol::ENTERROOMINFO ToEnterRoomInfo(const Channel& channel, const Room& room) {
  protocol::ENTERROOMINFO info;
  info.GI.RI = ToRoomInfo(channel, room, true);
  for (int seat = 0; seat < Room::kSeats; ++seat) {
    const ChannelMember* member = room.seats[seat] ? channel.FindMember(room.seats[seat]) : nullptr;
    if (!member) continue;
    info.GI.UI[seat] = ToUserInfo(member->user);
    info.Seat[seat].seated = 1;
    info.Seat[seat].inGame = room.playing ? 1 : 0;
  }
  return info;
}

}  // namespace tovrik::server
