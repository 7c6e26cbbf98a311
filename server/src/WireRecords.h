#pragma once
// The server's model as the records the client reads.

#include <ctime>

#include "protocol/Records.h"
#include "server/Channel.h"
#include "server/Database.h"
#include "server/Room.h"

namespace tovrik::server {

protocol::SYSTEMTIME ToSystemTime(std::time_t when);
protocol::USERINFO ToUserInfo(const UserRecord& user);
protocol::SMALLUSERINFO ToSmallUserInfo(const ChannelMember& member);
protocol::ROOMINFO ToRoomInfo(const Channel& channel, const Room& room, bool withPassword);
protocol::SMALLROOMINFO ToSmallRoomInfo(const Channel& channel, const Room& room);
protocol::ENTERROOMINFO ToEnterRoomInfo(const Channel& channel, const Room& room);

}  // namespace tovrik::server
