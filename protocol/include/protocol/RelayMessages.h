#pragma once

// The game moves that the server relays between the two players of a room,
// and the start, turn and stop messages around them.
//
// The ID-only messages and the loose-argument Sets fill the ID copy-if-
// shorter (an ID of 16 bytes or more travels as all zeros); records built by
// the game carry whatever their ID field holds (see SetRelayID).

#include <span>
#include <string_view>

#include "protocol/Message.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/RelayRecords.h"

namespace tovrik::protocol {

class CCL_EXITSUBSCRIPT final : public CRecordMessage<msgid::CCL_EXITSUBSCRIPT, EXITSUBSCRIPTINFO> {
public:
    using CRecordMessage::Set;
    bool Set(std::int32_t roomNo, std::int32_t unum, std::string_view id, std::int32_t reserve);
};

// Room chat: the 16-bit length sits at odd offset 21.
class CCL_CHATDATA final : public CMessage<CCL_CHATDATA> {
public:
    static constexpr std::int16_t MSGID = msgid::CCL_CHATDATA;

    RELAYCHATHEAD* Head = nullptr;
    char* Text = nullptr;

    // A text beyond the 16-bit length keeps its first 32767 bytes.
    bool Set(std::int32_t roomNo, std::string_view id, std::string_view text);

    std::string_view TextView() const { return Head ? BytesView(Text, &Head->TextLen) : std::string_view{}; }

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Head);
        parts.Bytes(Text, LengthOf(Head, &RELAYCHATHEAD::TextLen));
    }
};

// A message whose whole payload is the sender's ID.
template <std::int16_t Id>
class CRelayIDMessage : public CRecordMessage<Id, FixedText<kRelayIDSize>> {
public:
    bool Set(std::string_view id)
    {
        FixedText<kRelayIDSize> field;
        CopyIfShorter(field.Text, id);
        return CRecordMessage<Id, FixedText<kRelayIDSize>>::Set(field);
    }
};

class CCL_READYTOSTART final : public CRelayIDMessage<msgid::CCL_READYTOSTART> {};

class CCL_ASK_STARTGAME final : public CRecordMessage<msgid::CCL_ASK_STARTGAME, ASKSTARTGAMEINFO> {
public:
    using CRecordMessage::Set;
    bool Set(std::int32_t roomNo, std::int32_t serverNum, std::string_view id);
};

class CCL_STARTINFO final : public CRecordMessage<msgid::CCL_STARTINFO, STARTINFO> {};
class CCL_STONECLICK final : public CRecordMessage<msgid::CCL_STONECLICK, STONECLICK> {};
class CCL_USEITEM final : public CRecordMessage<msgid::CCL_USEITEM, USEITEM> {};
class CCL_CHANGEITEM final : public CRecordMessage<msgid::CCL_CHANGEITEM, CHANGEITEM> {};
class CCL_TELEPORTITEM final : public CRecordMessage<msgid::CCL_TELEPORTITEM, TELEPORTITEM> {};
class CCL_NUCLEARITEM final : public CRecordMessage<msgid::CCL_NUCLEARITEM, NUCLEARITEM> {};
class CCL_STONEHIT final : public CRecordMessage<msgid::CCL_STONEHIT, STONEHITINFO> {};

// The shot's result: the head, then DropCount stone indices (none when 0).
// A count outside 0..16 is refused both ways.
class CCL_RESULTSTONEHIT final : public CMessage<CCL_RESULTSTONEHIT> {
public:
    static constexpr std::int16_t MSGID = msgid::CCL_RESULTSTONEHIT;

    RESULTSTONEHITINFO* Head = nullptr;
    le_int32* Drops = nullptr;

    bool Set(const RESULTSTONEHITINFO& head, const DROPSTONEINFO& list);

    std::span<const le_int32> DropList() const;

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(Head);
        const std::int64_t count = LengthOf(Head, &RESULTSTONEHITINFO::DropCount);
        parts.Require(count >= 0 && count <= kStonesPerSide);
        parts.Array(Drops, count);
    }
};

class CCL_NEXTPLAYER final : public CRecordMessage<msgid::CCL_NEXTPLAYER, NEXTPLAYER> {};

class CCL_TIMEOUTMYTURN final : public CRelayIDMessage<msgid::CCL_TIMEOUTMYTURN> {};

}  // namespace tovrik::protocol
