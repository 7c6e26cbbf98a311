#include "protocol/LobbyMessages.h"

namespace tovrik::protocol {

bool CSV_ASK_DETAILUSERINFO::Set(std::int32_t unum, std::string_view nickName)
{
    PayloadWriter writer;
    writer.Int32(unum);
    writer.TextIfShorter(nickName, 20);
    return Build(writer);
}

bool CSV_ASK_BADUSER::Set(std::int32_t checkValue, std::int32_t roomNo, std::int32_t unum, std::string_view id,
                          std::string_view badUserID, std::string_view badUserNick, std::string_view reason,
                          std::string_view freeText, std::string_view excerpt)
{
    PayloadWriter writer;
    writer.Int32(checkValue);
    writer.Int32(roomNo);
    writer.Int32(unum);
    writer.TextIfShorter(id, 16);
    writer.TextIfShorter(badUserID, 16);
    writer.TextIfShorter(badUserNick, 20);
    writer.TextIfShorter(reason, 64);
    return writer.Int32Text(freeText) && writer.Int32Text(Cp949Tail(UntilZero(excerpt), kMaxReportExcerpt)) &&
           Build(writer);
}

bool CSV_ASK_USERINFO::Set(std::int32_t unum, std::string_view id)
{
    PayloadWriter writer;
    writer.Int32(unum);
    writer.TextIfShorter(id, 16);
    return Build(writer);
}

bool CSV_ASK_CHANGECHAR::Set(std::int32_t unum, std::string_view id, std::int32_t charNo)
{
    PayloadWriter writer;
    writer.Int32(unum);
    writer.TextAtMost(id, 16, 15);
    writer.Int32(charNo);
    return Build(writer);
}

bool CSV_ASK_ENTERROOM::Set(std::int32_t roomNo, std::int32_t unum, std::string_view id, std::string_view password)
{
    PayloadWriter writer;
    writer.Int32(roomNo);
    writer.Int32(unum);
    writer.TextAtMost(id, 16, 15);
    writer.TextAtMost(password, 5, 4);
    return Build(writer);
}

bool CSV_ASK_OUTROOM::Set(std::int32_t roomNo, std::int32_t unum, std::string_view id)
{
    PayloadWriter writer;
    writer.Int32(roomNo);
    writer.Int32(unum);
    writer.TextAtMost(id, 16, 15);
    return Build(writer);
}

bool CSV_ASK_INVITE::Set(std::int32_t targetUNum, std::string_view targetID, std::int32_t roomNo,
                         std::string_view password, const USERINFO& inviter, std::string_view text)
{
    PayloadWriter writer;
    writer.Int32(targetUNum);
    writer.TextIfShorter(targetID, 16);
    writer.Int32(roomNo);
    writer.TextAtMost(password, 5, 4);
    writer.Append(inviter);
    return writer.Int32Text(text) && Build(writer);
}

bool CSV_REFUSE_INVITE::Set(std::int32_t inviterUNum, std::string_view inviterID, std::string_view id,
                            std::string_view text)
{
    PayloadWriter writer;
    writer.Int32(inviterUNum);
    writer.TextIfShorter(inviterID, 16);
    writer.TextIfShorter(id, 16);
    return writer.Int32Text(text) && Build(writer);
}

bool CSV_ASK_FORCEBANISH::Set(std::string_view id)
{
    PayloadWriter writer;
    writer.TextIfShorter(id, 16);
    return Build(writer);
}

bool CSV_ASK_GAMEITEMLIST::Set(std::int32_t itemCode, std::int32_t itemNo)
{
    PayloadWriter writer;
    writer.Int32(itemCode);
    writer.Int32(itemNo);
    return Build(writer);
}

bool CSV_CHATDATA::Set(std::string_view id, std::string_view text)
{
    PayloadWriter writer;
    writer.TextIfShorter(id, 16);
    writer.Int16Text(text);
    return Build(writer);
}

bool CSV_WHISPERCHAT::Set(std::string_view id, std::string_view nickName, std::int32_t targetUNum,
                          std::string_view targetNick, std::string_view text)
{
    PayloadWriter writer;
    writer.TextIfShorter(id, 16);
    writer.TextIfShorter(nickName, 20);
    writer.Int32(targetUNum);
    writer.TextIfShorter(targetNick, 20);
    writer.Int16Text(text);
    return Build(writer);
}

bool CSV_ROOMINFO::Set(std::int32_t result, const GAMEINFO& gameInfo)
{
    PayloadWriter writer;
    writer.Int32(result);
    writer.Append(gameInfo);
    return Build(writer);
}

bool CSV_USEROUTROOM::Set(std::int32_t value1, std::int32_t value2, std::string_view id)
{
    PayloadWriter writer;
    writer.Int32(value1);
    writer.Int32(value2);
    writer.TextIfShorter(id, 16);
    return Build(writer);
}

bool CSV_CHANGEROOMMASTER::Set(std::int32_t value, std::int32_t masterUNum, std::string_view masterID)
{
    PayloadWriter writer;
    writer.Int32(value);
    writer.Int32(masterUNum);
    writer.TextIfShorter(masterID, 16);
    return Build(writer);
}

bool CSV_USERENTERROOM::Set(std::int32_t value, const USERINFO& user)
{
    PayloadWriter writer;
    writer.Int32(value);
    writer.Append(user);
    return Build(writer);
}

bool CSV_GAMEITEMLIST::Set(const ITEMLISTHEAD& head, std::span<const GAMEITEM> items, std::string_view text1,
                           std::string_view text2)
{
    text1 = UntilZero(text1);
    text2 = UntilZero(text2);
    if (!FitsInt32(items.size()) || !FitsInt32(text1.size()) || !FitsInt32(text2.size())) return false;
    ITEMLISTHEAD stated = head;
    stated.ItemCnt = static_cast<std::int32_t>(items.size());
    stated.TextLen1 = static_cast<std::int32_t>(text1.size());
    stated.TextLen2 = static_cast<std::int32_t>(text2.size());

    PayloadWriter writer;
    writer.Append(stated);
    writer.Append(items);
    writer.Bytes(text1);
    writer.Bytes(text2);
    return Build(writer);
}

std::span<const GAMEITEM> CSV_GAMEITEMLIST::ItemList() const
{
    if (!Items || !Head) return {};
    return {Items, static_cast<std::size_t>(Head->ItemCnt.get())};
}

bool CSV_BUYGAMEITEM::Set(const BUYITEMHEAD& head, std::string_view text)
{
    text = UntilZero(text);
    if (!FitsInt32(text.size())) return false;
    BUYITEMHEAD stated = head;
    stated.TextLen = static_cast<std::int32_t>(text.size());

    PayloadWriter writer;
    writer.Append(stated);
    writer.Bytes(text);
    return Build(writer);
}

bool CSV_SERVERMSG::Set(std::int32_t kind, std::string_view text)
{
    PayloadWriter writer;
    writer.Int32(kind);
    writer.Int16Text(text);
    return Build(writer);
}

GAMEOVERRESULT CSV_GAMEOVERRESULT::Result(int index) const
{
    const std::span<const GAMEOVERRESULT> results = List();
    if (index < 0 || static_cast<std::size_t>(index) >= results.size()) return GAMEOVERRESULT{};
    return results[static_cast<std::size_t>(index)];
}

bool CSV_EVENTNOTICE::Set(std::int16_t kind, std::string_view text, std::int32_t colour, std::int32_t peakState)
{
    EVENTNOTICETAIL tail;
    tail.Colour = colour;
    tail.PeakState = peakState;

    PayloadWriter writer;
    writer.Int16(kind);
    if (!writer.Int32Text(text)) return false;
    writer.Append(tail);
    return Build(writer);
}

bool CSV_AUGUSTEVENTMSG_POINTUP::Set(std::int32_t eventCount, std::int32_t eventValue1, std::int32_t eventValue2)
{
    PayloadWriter writer;
    writer.Int32(eventCount);
    writer.Int32(eventValue1);
    writer.Int32(eventValue2);
    return Build(writer);
}

}  // namespace tovrik::protocol
