#include "protocol/LoginMessages.h"

#include <algorithm>

namespace tovrik::protocol {

bool CSV_ASK_LOGIN::Set(const ASK_LOGININFO& info, std::string_view authCookie, std::string_view dataCookie,
                        std::string_view cpCookie)
{
    authCookie = UntilZero(authCookie);
    dataCookie = UntilZero(dataCookie);
    cpCookie = UntilZero(cpCookie);
    if (!FitsInt32(authCookie.size()) || !FitsInt32(dataCookie.size()) || !FitsInt32(cpCookie.size())) return false;

    // The lengths travel in the record; they must describe the bytes sent.
    ASK_LOGININFO head = info;
    head.AuthCookieLen = static_cast<std::int32_t>(authCookie.size());
    head.DataCookieLen = static_cast<std::int32_t>(dataCookie.size());
    head.CpCookieLen = static_cast<std::int32_t>(cpCookie.size());

    PayloadWriter writer;
    writer.Append(head);
    writer.Bytes(authCookie);
    writer.Bytes(dataCookie);
    writer.Bytes(cpCookie);
    return Build(writer);
}

std::string_view CSV_ASK_LOGIN::AuthCookieView() const
{
    return LoginInfo ? BytesView(AuthCookie, &LoginInfo->AuthCookieLen) : std::string_view{};
}

std::string_view CSV_ASK_LOGIN::DataCookieView() const
{
    return LoginInfo ? BytesView(DataCookie, &LoginInfo->DataCookieLen) : std::string_view{};
}

std::string_view CSV_ASK_LOGIN::CpCookieView() const
{
    return LoginInfo ? BytesView(CpCookie, &LoginInfo->CpCookieLen) : std::string_view{};
}

bool CSV_ASK_LOGOUT::Set(std::int32_t unum, std::string_view id)
{
    PayloadWriter writer;
    writer.Int32(unum);
    writer.TextIfShorter(id, 16);
    return Build(writer);
}

bool CSV_DESTCHANNELINFO::Set(std::string_view ip, std::int32_t port, const CONNECT_MOVECHANINFO& ticket)
{
    PayloadWriter writer;
    writer.TextIfShorter(ip, 20);
    writer.Int32(port);
    writer.Append(ticket);
    return Build(writer);
}

bool CSV_ASK_ENTERCHAN::Set(std::int32_t groupNo, std::int32_t chanNo)
{
    PayloadWriter writer;
    writer.Int32(groupNo);
    writer.Int32(chanNo);
    return Build(writer);
}

bool CSV_ASK_FINDID::Set(std::string_view id)
{
    PayloadWriter writer;
    writer.TextIfShorter(id, 20);
    return Build(writer);
}

bool CSV_ALLCHANINFO::Set(std::span<const CHANNELGROUPINFO> groups, std::span<const CHANNELINFO> channels)
{
    if (!FitsInt32(groups.size()) || !FitsInt32(channels.size())) return false;
    PayloadWriter writer;
    writer.Int32(static_cast<std::int32_t>(groups.size()));
    writer.Int32(static_cast<std::int32_t>(channels.size()));
    writer.Append(groups);
    writer.Append(channels);
    return Build(writer);
}

std::span<const CHANNELGROUPINFO> CSV_ALLCHANINFO::GroupList() const
{
    if (!Groups) return {};
    return {Groups, static_cast<std::size_t>(GroupCnt->get())};
}

std::span<const CHANNELINFO> CSV_ALLCHANINFO::ChannelList() const
{
    if (!Channels) return {};
    return {Channels, static_cast<std::size_t>(ChanCnt->get())};
}

std::string ChannelDisplayName(std::span<const CHANNELGROUPINFO> groups, const CHANNELINFO& channel)
{
    const auto group = std::find_if(groups.begin(), groups.end(), [&](const CHANNELGROUPINFO& g) {
        return g.GroupNo == channel.GroupNo;
    });
    if (group == groups.end()) return {};
    return std::string(ReadText(group->Name)) + "-" + std::to_string(channel.ChanNo.get());
}

}  // namespace tovrik::protocol
