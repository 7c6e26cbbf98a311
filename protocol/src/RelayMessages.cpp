#include "protocol/RelayMessages.h"

namespace tovrik::protocol {

bool CCL_EXITSUBSCRIPT::Set(std::int32_t roomNo, std::int32_t unum, std::string_view id, std::int32_t reserve)
{
    EXITSUBSCRIPTINFO info;
    info.RoomNo = roomNo;
    info.UNum = unum;
    CopyIfShorter(info.ID, id);
    info.reserve = reserve;
    return Set(info);
}

bool CCL_CHATDATA::Set(std::int32_t roomNo, std::string_view id, std::string_view text)
{
    PayloadWriter writer;
    writer.Int32(roomNo);
    writer.TextIfShorter(id, kRelayIDSize);
    writer.Int8(0);
    writer.Int16Text(text);
    return Build(writer);
}

bool CCL_ASK_STARTGAME::Set(std::int32_t roomNo, std::int32_t serverNum, std::string_view id)
{
    ASKSTARTGAMEINFO info;
    info.RoomNo = roomNo;
    info.ServerNum = serverNum;
    CopyIfShorter(info.ID, id);
    return Set(info);
}

bool CCL_RESULTSTONEHIT::Set(const RESULTSTONEHITINFO& head, const DROPSTONEINFO& list)
{
    const std::int32_t count = head.DropCount;
    if (count < 0 || count > kStonesPerSide) return false;
    PayloadWriter writer;
    writer.Append(head);
    writer.Append(std::span<const le_int32>(list.StoneIndex, static_cast<std::size_t>(count)));
    return Build(writer);
}

std::span<const le_int32> CCL_RESULTSTONEHIT::DropList() const
{
    if (!Drops || !Head) return {};
    return {Drops, static_cast<std::size_t>(Head->DropCount.get())};
}

}  // namespace tovrik::protocol
