#include "app/ControllerState.h"

#include "game/Levels.h"

namespace tovrik::app {

int g_Where = kWhereConnectMaster;
int g_Wait = 0;
int g_MasterSID = -1;
int g_MainSrvSID = -1;
tovrik::protocol::Ms_DestServerInfo g_DestSvInfo;
int g_bMovingChan = 0;
tovrik::protocol::CONNECT_MOVECHANINFO g_MoveChanInfo;
std::string g_LoginID;
std::string g_MyUniqNo;
int g_NowGroupNo = 0;
int g_NowChanNo = 0;
std::string g_NowChanName;
int g_bIsItemChannel = 0;
int g_GameCode = 0;
ControllerTime g_ServerTime{};
ControllerTime g_ClientTime{};
std::chrono::seconds g_CSTimeGap{0};
std::string g_NoticeURL;
std::string g_BannerURL1;
std::string g_BannerURL2;
std::string g_ProfileURL;
std::string g_LocationURL;
std::string g_AvatarItemURL;
std::string g_FuncItemURL;
std::string g_MyItemURL;
std::string g_CashURL;
std::string g_BDURL;
tovrik::protocol::ROOMINFO g_RI;
tovrik::protocol::GAMEITEM_LIST g_MyGameItem;
int g_bJumpItemBuying = 0;
int g_bPeakTime_Event_Date = 0;
int g_iPeakTime_Event_State = 0;
int g_iEventPopupType = 0;

namespace {
unsigned g_PendingRequests = 0;
unsigned Bit(Request request) { return 1u << static_cast<unsigned>(request); }
}  // namespace

void BeginRequest(Request request) {
  g_PendingRequests |= Bit(request);
  g_Wait = 1;
}

// A g_Wait set by hand (with no request named) counts as pending until any
// answer arrives.
void EndRequest(Request request) {
  g_PendingRequests &= ~Bit(request);
  g_Wait = g_PendingRequests != 0 ? 1 : 0;
}

bool IsPending(Request request) { return (g_PendingRequests & Bit(request)) != 0; }

ControllerTime ServerNow() { return tovrik::game::CurrentLocalTime() - g_CSTimeGap; }

void ResetControllerState() {
  g_Where = kWhereConnectMaster;
  g_Wait = 0;
  g_MasterSID = -1;
  g_MainSrvSID = -1;
  g_DestSvInfo = {};
  g_bMovingChan = 0;
  g_MoveChanInfo = {};
  g_LoginID.clear();
  g_MyUniqNo.clear();
  g_NowGroupNo = g_NowChanNo = 0;
  g_NowChanName.clear();
  g_bIsItemChannel = 0;
  g_GameCode = 0;
  g_ServerTime = g_ClientTime = {};
  g_CSTimeGap = std::chrono::seconds{0};
  for (std::string* url : {&g_NoticeURL, &g_BannerURL1, &g_BannerURL2, &g_ProfileURL, &g_LocationURL, &g_AvatarItemURL,
                           &g_FuncItemURL, &g_MyItemURL, &g_CashURL, &g_BDURL})
    url->clear();
  g_RI = {};
  g_MyGameItem = {};
  g_bJumpItemBuying = 0;
  g_bPeakTime_Event_Date = g_iPeakTime_Event_State = g_iEventPopupType = 0;
  g_PendingRequests = 0;
}

}  // namespace tovrik::app
