#pragma once

// The one table of every message: id, class name, direction and the server
// it is exchanged with. Dispatch, logging and the tests all read it.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tovrik::protocol {

enum class Direction : std::uint8_t {
    ClientToServer,
    ServerToClient,
    Both,  // built and parsed on both sides (relayed or echoed)
};

enum class ServerKind : std::uint8_t {
    Master,
    Game,
};

struct MessageInfo {
    std::int16_t id;
    std::string_view name;
    Direction direction;
    ServerKind server;
};

// X(id, class name, direction, server)
#define TOVRIK_PROTOCOL_MESSAGES(X)                                      \
    X(2000, CMS_CHECKVERSION, ServerToClient, Master)                    \
    X(2500, CMS_ASK_DESTSERVERINFO, ClientToServer, Master)              \
    X(2501, CMS_REFUSE_DESTSERVERINFO, ServerToClient, Master)           \
    X(2502, CMS_DESTSERVERINFO, ServerToClient, Master)                  \
    X(10, CSV_CHECKVERSION, ServerToClient, Game)                        \
    X(11, CSV_ASK_LOGIN, ClientToServer, Game)                           \
    X(13, CSV_SERVERINFO, ServerToClient, Game)                          \
    X(100, CSV_ACCEPT_LOGIN, ServerToClient, Game)                       \
    X(101, CSV_REFUSE_LOGIN, ServerToClient, Game)                       \
    X(102, CSV_ASK_LOGOUT, ClientToServer, Game)                         \
    X(103, CSV_ACCEPT_LOGOUT, ServerToClient, Game)                      \
    X(105, CSV_DESTCHANNELINFO, ServerToClient, Game)                    \
    X(106, CSV_CONNECT_MOVECHAN, ClientToServer, Game)                   \
    X(107, CSV_ASK_ENTERCHAN, ClientToServer, Game)                      \
    X(108, CSV_ACCEPT_ENTERCHAN, ServerToClient, Game)                   \
    X(109, CSV_ASK_FINDID, ClientToServer, Game)                         \
    X(110, CSV_RESULT_FINDID, ServerToClient, Game)                      \
    X(111, CSV_ASK_DETAILUSERINFO, ClientToServer, Game)                 \
    X(112, CSV_DETAILUSERINFO, ServerToClient, Game)                     \
    X(113, CSV_USERINFO, ServerToClient, Game)                           \
    X(115, CSV_ALLUSERINFO, ServerToClient, Game)                        \
    X(116, CSV_NEWUSER, ServerToClient, Game)                            \
    X(117, CSV_OUTUSER, ServerToClient, Game)                            \
    X(118, CSV_CHANGEUSER, ServerToClient, Game)                         \
    X(119, CSV_ACCEPT_CHANGECHAR, ServerToClient, Game)                  \
    X(120, CSV_REFUSE_CREATEROOM, ServerToClient, Game)                  \
    X(121, CSV_ACCEPT_CREATEROOM, ServerToClient, Game)                  \
    X(122, CSV_ALLROOMINFO, ServerToClient, Game)                        \
    X(123, CSV_ROOMINFO, ServerToClient, Game)                           \
    X(125, CSV_NEWROOM, ServerToClient, Game)                            \
    X(126, CSV_OUTROOM, ServerToClient, Game)                            \
    X(127, CSV_CHANGEROOM, ServerToClient, Game)                         \
    X(128, CSV_USEROUTROOM, ServerToClient, Game)                        \
    X(129, CSV_ACCEPT_OUTROOM, ServerToClient, Game)                     \
    X(130, CSV_CHANGEROOMMASTER, ServerToClient, Game)                   \
    X(131, CSV_ABNORMALOUTROOM, ServerToClient, Game)                    \
    X(132, CSV_ASK_BADUSER, ClientToServer, Game)                        \
    X(134, CSV_ASK_ALLCHANINFO, ClientToServer, Game)                    \
    X(135, CSV_ALLCHANINFO, ServerToClient, Game)                        \
    X(136, CSV_ASK_ALLROOMINFO, ClientToServer, Game)                    \
    X(137, CSV_ASK_ROOMINFO, ClientToServer, Game)                       \
    X(139, CSV_ASK_ALLUSERINFO, ClientToServer, Game)                    \
    X(140, CSV_ASK_USERINFO, ClientToServer, Game)                       \
    X(141, CSV_ASK_CHANGECHAR, ClientToServer, Game)                     \
    X(142, CSV_ASK_CREATEROOM, ClientToServer, Game)                     \
    X(143, CSV_ASK_ENTERROOM, ClientToServer, Game)                      \
    X(144, CSV_ACCEPT_ENTERROOM, ServerToClient, Game)                   \
    X(145, CSV_REFUSE_ENTERROOM, ServerToClient, Game)                   \
    X(146, CSV_USERENTERROOM, ServerToClient, Game)                      \
    X(147, CSV_LOBYOPEN, ClientToServer, Game)                           \
    X(148, CSV_ASK_OUTROOM, ClientToServer, Game)                        \
    X(149, CSV_ASK_INVITE, Both, Game)                                   \
    X(150, CSV_REFUSE_INVITE, Both, Game)                                \
    X(151, CSV_NOWHISPER, ClientToServer, Game)                          \
    X(152, CSV_ASK_FORCEBANISH, ClientToServer, Game)                    \
    X(153, CSV_ASK_GAMEITEMLIST, ClientToServer, Game)                   \
    X(154, CSV_GAMEITEMLIST, ServerToClient, Game)                       \
    X(156, CSV_BUYGAMEITEM, ServerToClient, Game)                        \
    X(157, CSV_SERVERMSG, ServerToClient, Game)                          \
    X(158, CSV_CHATDATA, Both, Game)                                     \
    X(159, CSV_WHISPERCHAT, Both, Game)                                  \
    X(161, CSV_GAMEOVERRESULT, ServerToClient, Game)                     \
    X(162, CSV_EVENTNOTICE, ServerToClient, Game)                        \
    X(163, CSV_AUGUSTEVENTMSG_CNT, ServerToClient, Game)                 \
    X(164, CSV_AUGUSTEVENTMSG_POINTUP, ServerToClient, Game)             \
    X(165, CSV_EVENT_TIMERANGE_ALERT, ServerToClient, Game)              \
    X(1000, CCL_EXITSUBSCRIPT, Both, Game)                               \
    X(1001, CCL_CHATDATA, Both, Game)                                    \
    X(1002, CCL_READYTOSTART, Both, Game)                                \
    X(1003, CCL_ASK_STARTGAME, ClientToServer, Game)                     \
    X(1004, CCL_STARTINFO, ServerToClient, Game)                         \
    X(1005, CCL_STONECLICK, Both, Game)                                  \
    X(1006, CCL_USEITEM, Both, Game)                                     \
    X(1007, CCL_CHANGEITEM, Both, Game)                                  \
    X(1008, CCL_TELEPORTITEM, Both, Game)                                \
    X(1009, CCL_NUCLEARITEM, Both, Game)                                 \
    X(1010, CCL_STONEHIT, Both, Game)                                    \
    X(1011, CCL_RESULTSTONEHIT, ClientToServer, Game)                    \
    X(1012, CCL_NEXTPLAYER, ServerToClient, Game)                        \
    X(1013, CCL_TIMEOUTMYTURN, ClientToServer, Game)

// Message ids by class name, for switch statements: msgid::CSV_ASK_LOGIN.
namespace msgid {
#define TOVRIK_PROTOCOL_ID_CONSTANT(id, name, direction, server) inline constexpr std::int16_t name = id;
TOVRIK_PROTOCOL_MESSAGES(TOVRIK_PROTOCOL_ID_CONSTANT)
#undef TOVRIK_PROTOCOL_ID_CONSTANT
}  // namespace msgid

// Every message, in table order.
std::span<const MessageInfo> AllMessages();

// The entry of an id, or null for an id outside the protocol.
const MessageInfo* FindMessage(int id);

// A readable name for logs: the class name, or "unknown message <id>".
std::string MessageName(int id);

// The version both servers must announce; shown as 1.84 in window titles.
inline constexpr std::int32_t kProtocolVersion = 184;

}  // namespace tovrik::protocol
