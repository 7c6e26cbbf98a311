#pragma once

// The records of the game moves that the server relays between the two
// players of a room. Same rules as the server records: bytes and
// little-endian numbers only, alignment 1, all zeros when default-built.
//
// ID fields of records built by the game get at most the first 15 bytes of
// the ID (SetRelayID); the ID-only messages use the copy-if-shorter rule.

#include <cstdint>

#include "protocol/LittleEndian.h"
#include "protocol/RecordLayout.h"

namespace tovrik::protocol {

inline constexpr int kRelayIDSize = 16;
inline constexpr int kStonesPerSide = 16;

// Per server player number: the participation flags and the side.
struct STARTSEATINFO {
    std::int8_t seated{};
    std::int8_t inGame{};
    std::int8_t side{};  // 1 = Han, 2 = Cho
    std::uint8_t unused{};
};

struct STARTINFO {
    char ID[2][kRelayIDSize]{};  // empty = seat unused
    STARTSEATINFO Seat[2];
    le_int32 Pebble[2];  // copied into the player's USERINFO.Pebble
    le_int32 reserved;
};

struct STONECLICK {
    char ID[kRelayIDSize]{};
    le_int32 StoneIndex;  // 0..15
};

struct USEITEM {
    char ID[kRelayIDSize]{};
    le_int32 ItemKind;  // 0 power-up, 1 change, 2 teleport, 3 nuclear
};

struct CHANGEITEM {
    char ID[kRelayIDSize]{};
    le_int32 MinorIndex;  // 9..15, the stone given up
    le_int32 MajorIndex;  // 1..8, the stone brought back
};

struct TELEPORTITEM {
    char ID[kRelayIDSize]{};
    le_int32 StoneIndex;
    le_int32 TargetX;  // board coordinates
    le_int32 TargetY;
};

struct NUCLEARITEM {
    char ID[kRelayIDSize]{};
    le_int32 StoneIndex;  // the stone that explodes
};

struct STONEHITINFO {
    char ID[kRelayIDSize]{};
    le_int32 StoneIndex;
    le_float Angle;  // degrees
    le_float Power;
};

// Head of a shot's result; DropCount stone indices follow.
struct RESULTSTONEHITINFO {
    char ID[kRelayIDSize]{};
    le_int32 DropCount;  // 0..16
};

// The sender's own stones that fell during the shot, in falling order; only
// the first DropCount entries travel.
struct DROPSTONEINFO {
    le_int32 StoneIndex[kStonesPerSide];
};

struct NEXTPLAYER {
    char ID[kRelayIDSize]{};  // whose turn begins
    le_float Gauge;           // that player's item gauge
    le_float OtherGauge;
};

// Fixed parts of the relay messages whose class takes loose arguments.
struct EXITSUBSCRIPTINFO {
    le_int32 RoomNo;
    le_int32 UNum;
    char ID[kRelayIDSize]{};
    le_int32 reserve;  // 1 = leave after this game, 0 = cancel
};

struct RELAYCHATHEAD {
    le_int32 RoomNo;
    char ID[kRelayIDSize]{};
    std::int8_t zero{};
    le_int16 TextLen;  // at odd offset 21
};

struct ASKSTARTGAMEINFO {
    le_int32 RoomNo;
    le_int32 ServerNum;  // the owner's server seat number
    char ID[kRelayIDSize]{};
};

TOVRIK_WIRE_RECORD(STARTSEATINFO, 4);
TOVRIK_WIRE_FIELD(STARTSEATINFO, seated, 0);
TOVRIK_WIRE_FIELD(STARTSEATINFO, inGame, 1);
TOVRIK_WIRE_FIELD(STARTSEATINFO, side, 2);
TOVRIK_WIRE_FIELD(STARTSEATINFO, unused, 3);

TOVRIK_WIRE_RECORD(STARTINFO, 52);
TOVRIK_WIRE_FIELD(STARTINFO, ID, 0);
TOVRIK_WIRE_FIELD(STARTINFO, Seat, 32);
TOVRIK_WIRE_FIELD(STARTINFO, Pebble, 40);
TOVRIK_WIRE_FIELD(STARTINFO, reserved, 48);

TOVRIK_WIRE_RECORD(STONECLICK, 20);
TOVRIK_WIRE_FIELD(STONECLICK, StoneIndex, 16);

TOVRIK_WIRE_RECORD(USEITEM, 20);
TOVRIK_WIRE_FIELD(USEITEM, ItemKind, 16);

TOVRIK_WIRE_RECORD(CHANGEITEM, 24);
TOVRIK_WIRE_FIELD(CHANGEITEM, MinorIndex, 16);
TOVRIK_WIRE_FIELD(CHANGEITEM, MajorIndex, 20);

TOVRIK_WIRE_RECORD(TELEPORTITEM, 28);
TOVRIK_WIRE_FIELD(TELEPORTITEM, StoneIndex, 16);
TOVRIK_WIRE_FIELD(TELEPORTITEM, TargetX, 20);
TOVRIK_WIRE_FIELD(TELEPORTITEM, TargetY, 24);

TOVRIK_WIRE_RECORD(NUCLEARITEM, 20);
TOVRIK_WIRE_FIELD(NUCLEARITEM, StoneIndex, 16);

TOVRIK_WIRE_RECORD(STONEHITINFO, 28);
TOVRIK_WIRE_FIELD(STONEHITINFO, StoneIndex, 16);
TOVRIK_WIRE_FIELD(STONEHITINFO, Angle, 20);
TOVRIK_WIRE_FIELD(STONEHITINFO, Power, 24);

TOVRIK_WIRE_RECORD(RESULTSTONEHITINFO, 20);
TOVRIK_WIRE_FIELD(RESULTSTONEHITINFO, DropCount, 16);

TOVRIK_WIRE_RECORD(DROPSTONEINFO, 4 * kStonesPerSide);

TOVRIK_WIRE_RECORD(NEXTPLAYER, 24);
TOVRIK_WIRE_FIELD(NEXTPLAYER, Gauge, 16);
TOVRIK_WIRE_FIELD(NEXTPLAYER, OtherGauge, 20);

TOVRIK_WIRE_RECORD(EXITSUBSCRIPTINFO, 28);
TOVRIK_WIRE_FIELD(EXITSUBSCRIPTINFO, RoomNo, 0);
TOVRIK_WIRE_FIELD(EXITSUBSCRIPTINFO, UNum, 4);
TOVRIK_WIRE_FIELD(EXITSUBSCRIPTINFO, ID, 8);
TOVRIK_WIRE_FIELD(EXITSUBSCRIPTINFO, reserve, 24);

TOVRIK_WIRE_RECORD(RELAYCHATHEAD, 23);
TOVRIK_WIRE_FIELD(RELAYCHATHEAD, RoomNo, 0);
TOVRIK_WIRE_FIELD(RELAYCHATHEAD, ID, 4);
TOVRIK_WIRE_FIELD(RELAYCHATHEAD, zero, 20);
TOVRIK_WIRE_FIELD(RELAYCHATHEAD, TextLen, 21);

TOVRIK_WIRE_RECORD(ASKSTARTGAMEINFO, 24);
TOVRIK_WIRE_FIELD(ASKSTARTGAMEINFO, RoomNo, 0);
TOVRIK_WIRE_FIELD(ASKSTARTGAMEINFO, ServerNum, 4);
TOVRIK_WIRE_FIELD(ASKSTARTGAMEINFO, ID, 8);

}  // namespace tovrik::protocol
