#pragma once
// The controller's process-wide state. The main window writes it as the
// connection, login and channel messages arrive; every screen reads it.

#include "protocol/Records.h"

#include <chrono>
#include <string>

namespace tovrik::app {

// Where the user is.
enum WhereState : int {
  kWhereConnectMaster = 0,  // connecting to the master server
  kWhereLogin = 1,          // connecting to / logging in on the game server
  kWhereChannel = 2,        // channel screen
  kWhereLobby = 3,
  kWhereGameRoom = 4,
};

extern int g_Where;
// 1 while a request whose answer blocks further requests is outstanding:
// kept equal to "some request of the list below is pending" by BeginRequest
// and EndRequest.
extern int g_Wait;

// The requests whose answers the screens wait for. Each has its own pending
// flag, cleared only by its own answer, so that (for example) the profile a
// list click asked for cannot clear a room entry that is still on its way.
enum class Request : unsigned {
  ChannelList,
  EnterChannel,
  ChannelMove,
  Logout,
  UserInfo,
  DetailUserInfo,
  ChangeChar,
  RoomInfo,
  CreateRoom,
  EnterRoom,
  LeaveRoom,
  StartGame,
};
void BeginRequest(Request request);
void EndRequest(Request request);
bool IsPending(Request request);
// Socket numbers of the two connections, -1 when absent.
extern int g_MasterSID;
extern int g_MainSrvSID;

// The game server the master server assigned; its ticket goes into the login.
extern tovrik::protocol::Ms_DestServerInfo g_DestSvInfo;
// A channel move to another game server is under way, with its ticket.
extern int g_bMovingChan;
extern tovrik::protocol::CONNECT_MOVECHANINFO g_MoveChanInfo;

// Own id and unique number text after login (code page 949).
extern std::string g_LoginID;
extern std::string g_MyUniqNo;

extern int g_NowGroupNo;
extern int g_NowChanNo;
extern std::string g_NowChanName;  // code page 949
extern int g_bIsItemChannel;

extern int g_GameCode;

// Calendar time in seconds, as the server's SYSTEMTIME states it.
using ControllerTime = std::chrono::local_time<std::chrono::seconds>;
extern ControllerTime g_ServerTime;
extern ControllerTime g_ClientTime;
// Local minus server; the server's "now" is local now minus this.
extern std::chrono::seconds g_CSTimeGap;

// The ten addresses of SERVERINFO, in its order.
extern std::string g_NoticeURL;
extern std::string g_BannerURL1;
extern std::string g_BannerURL2;
extern std::string g_ProfileURL;
extern std::string g_LocationURL;
extern std::string g_AvatarItemURL;
extern std::string g_FuncItemURL;
extern std::string g_MyItemURL;
extern std::string g_CashURL;
extern std::string g_BDURL;

// The room the user is in.
extern tovrik::protocol::ROOMINFO g_RI;

// The items the user owns, filled from the item list message.
extern tovrik::protocol::GAMEITEM_LIST g_MyGameItem;
// 1 while an item purchase that the server asked for is open.
extern int g_bJumpItemBuying;

// The peak-time event: whether one runs today, its popup type and its state
// (read by the character view and the game screens).
extern int g_bPeakTime_Event_Date;
extern int g_iPeakTime_Event_State;
extern int g_iEventPopupType;

// The server's current time.
ControllerTime ServerNow();

// Back to the state before the first connection (tests start over with it).
void ResetControllerState();

}  // namespace tovrik::app
