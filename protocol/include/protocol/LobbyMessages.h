#pragma once

// Messages of the lobby and the rooms: user and room lists, profiles,
// character change, room creation, entry and exit, invitations, chat and
// whispers, notices, abuse reports, items, game results and events.
// Every class has Set and Get (the local server needs both directions).

#include <span>
#include <string_view>

#include "protocol/Message.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/Records.h"

namespace tovrik::protocol {

// The longest conversation excerpt an abuse report carries; a longer one
// keeps its end.
inline constexpr std::size_t kMaxReportExcerpt = 4000;

// ---- sent by the client -----------------------------------------------------

class CSV_ASK_DETAILUSERINFO final : public CMessage<CSV_ASK_DETAILUSERINFO> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_DETAILUSERINFO;

    le_int32* UNum = nullptr;  // -1 when the nickname is not listed
    FixedText<20>* NickName = nullptr;

    bool Set(std::int32_t unum, std::string_view nickName);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(UNum);
        parts.Part(NickName);
    }
};

class CSV_ASK_BADUSER final : public CMessage<CSV_ASK_BADUSER> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_BADUSER;

    le_int32* CheckValue = nullptr;
    le_int32* RoomNo = nullptr;  // 0 in the lobby
    le_int32* UNum = nullptr;
    FixedText<16>* UserID = nullptr;
    FixedText<16>* BadUserID = nullptr;
    FixedText<20>* BadUserNick = nullptr;
    FixedText<64>* Reason = nullptr;
    le_int32* FreeTextLen = nullptr;
    char* FreeText = nullptr;
    le_int32* ExcerptLen = nullptr;
    char* Excerpt = nullptr;

    // The excerpt is cut to its last kMaxReportExcerpt bytes.
    bool Set(std::int32_t checkValue, std::int32_t roomNo, std::int32_t unum, std::string_view id,
             std::string_view badUserID, std::string_view badUserNick, std::string_view reason,
             std::string_view freeText, std::string_view excerpt);

    std::string_view FreeTextView() const { return BytesView(FreeText, FreeTextLen); }
    std::string_view ExcerptView() const { return BytesView(Excerpt, ExcerptLen); }

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(CheckValue);
        parts.Part(RoomNo);
        parts.Part(UNum);
        parts.Part(UserID);
        parts.Part(BadUserID);
        parts.Part(BadUserNick);
        parts.Part(Reason);
        parts.Part(FreeTextLen);
        parts.Bytes(FreeText, LengthOf(FreeTextLen));
        parts.Part(ExcerptLen);
        parts.Bytes(Excerpt, LengthOf(ExcerptLen));
    }
};

class CSV_ASK_ALLROOMINFO final : public CEmptyMessage<msgid::CSV_ASK_ALLROOMINFO> {};

// Value: the room number.
class CSV_ASK_ROOMINFO final : public CValueMessage<msgid::CSV_ASK_ROOMINFO> {};

class CSV_ASK_ALLUSERINFO final : public CEmptyMessage<msgid::CSV_ASK_ALLUSERINFO> {};

class CSV_ASK_USERINFO final : public CMessage<CSV_ASK_USERINFO> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_USERINFO;

    le_int32* UNum = nullptr;
    FixedText<16>* UserID = nullptr;  // copy if shorter

    bool Set(std::int32_t unum, std::string_view id);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(UNum);
        parts.Part(UserID);
    }
};

class CSV_ASK_CHANGECHAR final : public CMessage<CSV_ASK_CHANGECHAR> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_CHANGECHAR;

    le_int32* UNum = nullptr;
    FixedText<16>* UserID = nullptr;  // at most 15 bytes
    le_int32* CharNo = nullptr;

    bool Set(std::int32_t unum, std::string_view id, std::int32_t charNo);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(UNum);
        parts.Part(UserID);
        parts.Part(CharNo);
    }
};

class CSV_ASK_CREATEROOM final : public CRecordMessage<msgid::CSV_ASK_CREATEROOM, ROOMINFO> {};

class CSV_ASK_ENTERROOM final : public CMessage<CSV_ASK_ENTERROOM> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_ENTERROOM;

    le_int32* RoomNo = nullptr;
    le_int32* UNum = nullptr;
    FixedText<16>* UserID = nullptr;  // at most 15 bytes
    FixedText<5>* Password = nullptr;  // at most 4 bytes

    bool Set(std::int32_t roomNo, std::int32_t unum, std::string_view id, std::string_view password);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(RoomNo);
        parts.Part(UNum);
        parts.Part(UserID);
        parts.Part(Password);
    }
};

// Value: 1 = the room's invite view was opened, 0 = closed.
class CSV_LOBYOPEN final : public CValueMessage<msgid::CSV_LOBYOPEN> {};

class CSV_ASK_OUTROOM final : public CMessage<CSV_ASK_OUTROOM> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_OUTROOM;

    le_int32* RoomNo = nullptr;
    le_int32* UNum = nullptr;
    FixedText<16>* UserID = nullptr;  // at most 15 bytes

    bool Set(std::int32_t roomNo, std::int32_t unum, std::string_view id);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(RoomNo);
        parts.Part(UNum);
        parts.Part(UserID);
    }
};

// Sent by the inviter and delivered as sent to the invitee.
class CSV_ASK_INVITE final : public CMessage<CSV_ASK_INVITE> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_INVITE;

    le_int32* TargetUNum = nullptr;
    FixedText<16>* TargetID = nullptr;  // copy if shorter
    le_int32* RoomNo = nullptr;
    FixedText<5>* Password = nullptr;  // at most 4 bytes
    USERINFO* Inviter = nullptr;
    le_int32* TextLen = nullptr;
    char* Text = nullptr;

    bool Set(std::int32_t targetUNum, std::string_view targetID, std::int32_t roomNo, std::string_view password,
             const USERINFO& inviter, std::string_view text);

    std::string_view TextView() const { return BytesView(Text, TextLen); }

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(TargetUNum);
        parts.Part(TargetID);
        parts.Part(RoomNo);
        parts.Part(Password);
        parts.Part(Inviter);
        parts.Part(TextLen);
        parts.Bytes(Text, LengthOf(TextLen));
    }
};

// Sent by the invitee and delivered as sent to the inviter.
class CSV_REFUSE_INVITE final : public CMessage<CSV_REFUSE_INVITE> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_REFUSE_INVITE;

    le_int32* InviterUNum = nullptr;
    FixedText<16>* InviterID = nullptr;  // copy if shorter
    FixedText<16>* UserID = nullptr;     // the refusing user, copy if shorter
    le_int32* TextLen = nullptr;
    char* Text = nullptr;

    bool Set(std::int32_t inviterUNum, std::string_view inviterID, std::string_view id, std::string_view text);

    std::string_view TextView() const { return BytesView(Text, TextLen); }

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(InviterUNum);
        parts.Part(InviterID);
        parts.Part(UserID);
        parts.Part(TextLen);
        parts.Bytes(Text, LengthOf(TextLen));
    }
};

// Value: 1 = refuse whispers, 0 = accept.
class CSV_NOWHISPER final : public CValueMessage<msgid::CSV_NOWHISPER> {};

class CSV_ASK_FORCEBANISH final : public CMessage<CSV_ASK_FORCEBANISH> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_FORCEBANISH;

    FixedText<16>* UserID = nullptr;  // copy if shorter

    bool Set(std::string_view id);

    template <typename Parts>
    void Layout(Parts& parts) { parts.Part(UserID); }
};

class CSV_ASK_GAMEITEMLIST final : public CMessage<CSV_ASK_GAMEITEMLIST> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_GAMEITEMLIST;

    le_int32* ItemCode = nullptr;  // both 0 = just send the list
    le_int32* ItemNo = nullptr;

    bool Set(std::int32_t itemCode, std::int32_t itemNo);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(ItemCode);
        parts.Part(ItemNo);
    }
};

// Lobby chat: the client's line, echoed by the server to the whole lobby.
class CSV_CHATDATA final : public CMessage<CSV_CHATDATA> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_CHATDATA;

    FixedText<16>* UserID = nullptr;  // copy if shorter
    le_int16* TextLen = nullptr;
    char* Text = nullptr;

    // A text beyond the 16-bit length keeps its first 32767 bytes.
    bool Set(std::string_view id, std::string_view text);

    std::string_view TextView() const { return BytesView(Text, TextLen); }

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(UserID);
        parts.Part(TextLen);
        parts.Bytes(Text, LengthOf(TextLen));
    }
};

class CSV_WHISPERCHAT final : public CMessage<CSV_WHISPERCHAT> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_WHISPERCHAT;

    FixedText<16>* UserID = nullptr;    // sender, copy if shorter
    FixedText<20>* NickName = nullptr;  // sender, copy if shorter
    le_int32* TargetUNum = nullptr;
    FixedText<20>* TargetNick = nullptr;  // copy if shorter
    le_int16* TextLen = nullptr;
    char* Text = nullptr;

    bool Set(std::string_view id, std::string_view nickName, std::int32_t targetUNum, std::string_view targetNick,
             std::string_view text);

    std::string_view TextView() const { return BytesView(Text, TextLen); }

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(UserID);
        parts.Part(NickName);
        parts.Part(TargetUNum);
        parts.Part(TargetNick);
        parts.Part(TextLen);
        parts.Bytes(Text, LengthOf(TextLen));
    }
};

// ---- sent by the server -----------------------------------------------------

class CSV_DETAILUSERINFO final : public CRecordMessage<msgid::CSV_DETAILUSERINFO, USERINFO> {};

// An empty ID means there is no such user.
class CSV_USERINFO final : public CRecordMessage<msgid::CSV_USERINFO, USERINFO> {};

class CSV_ALLUSERINFO final : public CListMessage<msgid::CSV_ALLUSERINFO, SMALLUSERINFO> {};

class CSV_NEWUSER final : public CRecordMessage<msgid::CSV_NEWUSER, SMALLUSERINFO> {};
class CSV_OUTUSER final : public CRecordMessage<msgid::CSV_OUTUSER, SMALLUSERINFO> {};
class CSV_CHANGEUSER final : public CRecordMessage<msgid::CSV_CHANGEUSER, SMALLUSERINFO> {};

// Value: the new character number (0-72; others are ignored).
class CSV_ACCEPT_CHANGECHAR final : public CValueMessage<msgid::CSV_ACCEPT_CHANGECHAR> {};

// Value: the reason code.
class CSV_REFUSE_CREATEROOM final : public CValueMessage<msgid::CSV_REFUSE_CREATEROOM> {};

class CSV_ACCEPT_CREATEROOM final : public CRecordMessage<msgid::CSV_ACCEPT_CREATEROOM, ROOMINFO> {};

class CSV_ALLROOMINFO final : public CListMessage<msgid::CSV_ALLROOMINFO, ROOMINFO> {};

class CSV_ROOMINFO final : public CMessage<CSV_ROOMINFO> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ROOMINFO;

    le_int32* Result = nullptr;  // 0 = valid
    GAMEINFO* GI = nullptr;

    bool Set(std::int32_t result, const GAMEINFO& gameInfo);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Result);
        parts.Part(GI);
    }
};

class CSV_NEWROOM final : public CRecordMessage<msgid::CSV_NEWROOM, ROOMINFO> {};

// Only RoomNo is used: the room is gone.
class CSV_OUTROOM final : public CRecordMessage<msgid::CSV_OUTROOM, SMALLROOMINFO> {};

class CSV_CHANGEROOM final : public CRecordMessage<msgid::CSV_CHANGEROOM, SMALLROOMINFO> {};

class CSV_USEROUTROOM final : public CMessage<CSV_USEROUTROOM> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_USEROUTROOM;

    le_int32* Value1 = nullptr;  // not read by the client
    le_int32* Value2 = nullptr;  // not read by the client
    FixedText<16>* UserID = nullptr;

    bool Set(std::int32_t value1, std::int32_t value2, std::string_view id);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Value1);
        parts.Part(Value2);
        parts.Part(UserID);
    }
};

// The server confirms that the client left its room.
class CSV_ACCEPT_OUTROOM final : public CEmptyMessage<msgid::CSV_ACCEPT_OUTROOM> {};

class CSV_CHANGEROOMMASTER final : public CMessage<CSV_CHANGEROOMMASTER> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_CHANGEROOMMASTER;

    le_int32* Value = nullptr;  // not read by the client
    le_int32* MasterUNum = nullptr;
    FixedText<16>* MasterID = nullptr;  // empty = ignore

    bool Set(std::int32_t value, std::int32_t masterUNum, std::string_view masterID);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Value);
        parts.Part(MasterUNum);
        parts.Part(MasterID);
    }
};

// The client was removed from its room.
class CSV_ABNORMALOUTROOM final : public CEmptyMessage<msgid::CSV_ABNORMALOUTROOM> {};

class CSV_ACCEPT_ENTERROOM final : public CRecordMessage<msgid::CSV_ACCEPT_ENTERROOM, ENTERROOMINFO> {};

// Value: the reason code.
class CSV_REFUSE_ENTERROOM final : public CValueMessage<msgid::CSV_REFUSE_ENTERROOM> {};

class CSV_USERENTERROOM final : public CMessage<CSV_USERENTERROOM> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_USERENTERROOM;

    le_int32* Value = nullptr;  // not read by the client
    USERINFO* UI = nullptr;

    bool Set(std::int32_t value, const USERINFO& user);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Value);
        parts.Part(UI);
    }
};

// The head's item count and text lengths always describe what follows.
class CSV_GAMEITEMLIST final : public CMessage<CSV_GAMEITEMLIST> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_GAMEITEMLIST;

    ITEMLISTHEAD* Head = nullptr;
    GAMEITEM* Items = nullptr;
    char* Text1 = nullptr;
    char* Text2 = nullptr;

    bool Set(const ITEMLISTHEAD& head, std::span<const GAMEITEM> items, std::string_view text1,
             std::string_view text2);
    std::span<const GAMEITEM> ItemList() const;

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Head);
        parts.Array(Items, LengthOf(Head, &ITEMLISTHEAD::ItemCnt));
        parts.Bytes(Text1, LengthOf(Head, &ITEMLISTHEAD::TextLen1));
        parts.Bytes(Text2, LengthOf(Head, &ITEMLISTHEAD::TextLen2));
    }
};

class CSV_BUYGAMEITEM final : public CMessage<CSV_BUYGAMEITEM> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_BUYGAMEITEM;

    BUYITEMHEAD* Head = nullptr;
    char* Text = nullptr;

    bool Set(const BUYITEMHEAD& head, std::string_view text);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Head);
        parts.Bytes(Text, LengthOf(Head, &BUYITEMHEAD::TextLen));
    }
};

class CSV_SERVERMSG final : public CMessage<CSV_SERVERMSG> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_SERVERMSG;

    le_int32* Kind = nullptr;  // 0 = chat notice, 1 = message box
    le_int16* TextLen = nullptr;
    char* Text = nullptr;

    bool Set(std::int32_t kind, std::string_view text);

    std::string_view TextView() const { return BytesView(Text, TextLen); }

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Kind);
        parts.Part(TextLen);
        parts.Bytes(Text, LengthOf(TextLen));
    }
};

class CSV_GAMEOVERRESULT final : public CListMessage<msgid::CSV_GAMEOVERRESULT, GAMEOVERRESULT> {
public:
    // Entry i, or an empty entry (no player) when the message has fewer.
    GAMEOVERRESULT Result(int index) const;
};

// What follows the text of an event notice.
struct EVENTNOTICETAIL {
    le_int32 Colour;  // 0x00BBGGRR
    std::uint8_t reserved1[16]{};
    le_int32 PeakState;  // peak-time event state
    std::uint8_t reserved2[4]{};
};
TOVRIK_WIRE_RECORD(EVENTNOTICETAIL, 28);
TOVRIK_WIRE_FIELD(EVENTNOTICETAIL, Colour, 0);
TOVRIK_WIRE_FIELD(EVENTNOTICETAIL, reserved1, 4);
TOVRIK_WIRE_FIELD(EVENTNOTICETAIL, PeakState, 20);
TOVRIK_WIRE_FIELD(EVENTNOTICETAIL, reserved2, 24);

class CSV_EVENTNOTICE final : public CMessage<CSV_EVENTNOTICE> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_EVENTNOTICE;

    le_int16* Kind = nullptr;  // 1 notice line, 2-5 peak-time start, 6 end
    le_int32* TextLen = nullptr;
    char* Text = nullptr;
    EVENTNOTICETAIL* Tail = nullptr;

    bool Set(std::int16_t kind, std::string_view text, std::int32_t colour, std::int32_t peakState);

    std::string_view TextView() const { return BytesView(Text, TextLen); }

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Kind);
        parts.Part(TextLen);
        parts.Bytes(Text, LengthOf(TextLen));
        parts.Part(Tail);
    }
};

// Value: the event counter.
class CSV_AUGUSTEVENTMSG_CNT final : public CValueMessage<msgid::CSV_AUGUSTEVENTMSG_CNT> {};

class CSV_AUGUSTEVENTMSG_POINTUP final : public CMessage<CSV_AUGUSTEVENTMSG_POINTUP> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_AUGUSTEVENTMSG_POINTUP;

    le_int32* EventCount = nullptr;
    le_int32* EventValue1 = nullptr;
    le_int32* EventValue2 = nullptr;

    bool Set(std::int32_t eventCount, std::int32_t eventValue1, std::int32_t eventValue2);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(EventCount);
        parts.Part(EventValue1);
        parts.Part(EventValue2);
    }
};

// Value: the peak-time event state.
class CSV_EVENT_TIMERANGE_ALERT final : public CValueMessage<msgid::CSV_EVENT_TIMERANGE_ALERT> {};

}  // namespace tovrik::protocol
