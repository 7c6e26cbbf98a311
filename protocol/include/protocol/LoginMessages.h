#pragma once

// Messages of the first phase: the master server's assignment of a game
// server, version check and login, channel list and entry, channel moves,
// user search and logout. Every class has Set and Get: the client sends what
// the local server receives and the other way round.

#include <span>
#include <string>
#include <string_view>

#include "protocol/Message.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/Records.h"

namespace tovrik::protocol {

// Value: the server's protocol version (kProtocolVersion is accepted).
class CMS_CHECKVERSION final : public CValueMessage<msgid::CMS_CHECKVERSION> {};

// Value: the login group number from the launch parameters, -1 when none.
class CMS_ASK_DESTSERVERINFO final : public CValueMessage<msgid::CMS_ASK_DESTSERVERINFO> {};

class CMS_REFUSE_DESTSERVERINFO final : public CRefuseMessage<msgid::CMS_REFUSE_DESTSERVERINFO> {};

class CMS_DESTSERVERINFO final : public CRecordMessage<msgid::CMS_DESTSERVERINFO, Ms_DestServerInfo> {};

// Value: the game server's protocol version.
class CSV_CHECKVERSION final : public CValueMessage<msgid::CSV_CHECKVERSION> {};

// The login record followed by the three cookies; the record's three length
// fields always state the lengths of the cookies that follow.
class CSV_ASK_LOGIN final : public CMessage<CSV_ASK_LOGIN> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_LOGIN;

    ASK_LOGININFO* LoginInfo = nullptr;
    char* AuthCookie = nullptr;
    char* DataCookie = nullptr;
    char* CpCookie = nullptr;

    bool Set(const ASK_LOGININFO& info, std::string_view authCookie, std::string_view dataCookie,
             std::string_view cpCookie);

    std::string_view AuthCookieView() const;
    std::string_view DataCookieView() const;
    std::string_view CpCookieView() const;

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(LoginInfo);
        parts.Bytes(AuthCookie, LengthOf(LoginInfo, &ASK_LOGININFO::AuthCookieLen));
        parts.Bytes(DataCookie, LengthOf(LoginInfo, &ASK_LOGININFO::DataCookieLen));
        parts.Bytes(CpCookie, LengthOf(LoginInfo, &ASK_LOGININFO::CpCookieLen));
    }
};

class CSV_SERVERINFO final : public CRecordMessage<msgid::CSV_SERVERINFO, SERVERINFO> {};

class CSV_ACCEPT_LOGIN final : public CRecordMessage<msgid::CSV_ACCEPT_LOGIN, LOGINACCEPTINFO> {};

class CSV_REFUSE_LOGIN final : public CRefuseMessage<msgid::CSV_REFUSE_LOGIN> {};

class CSV_ASK_LOGOUT final : public CMessage<CSV_ASK_LOGOUT> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_LOGOUT;

    le_int32* UNum = nullptr;
    FixedText<16>* UserID = nullptr;

    bool Set(std::int32_t unum, std::string_view id);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(UNum);
        parts.Part(UserID);
    }
};

class CSV_ACCEPT_LOGOUT final : public CEmptyMessage<msgid::CSV_ACCEPT_LOGOUT> {};

// Where the requested channel is: a game server and the ticket to hand it.
class CSV_DESTCHANNELINFO final : public CMessage<CSV_DESTCHANNELINFO> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_DESTCHANNELINFO;

    FixedText<20>* IP = nullptr;
    le_int32* Port = nullptr;
    CONNECT_MOVECHANINFO* Ticket = nullptr;

    bool Set(std::string_view ip, std::int32_t port, const CONNECT_MOVECHANINFO& ticket);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(IP);
        parts.Part(Port);
        parts.Part(Ticket);
    }
};

// The ticket of CSV_DESTCHANNELINFO, exactly as received.
class CSV_CONNECT_MOVECHAN final : public CRecordMessage<msgid::CSV_CONNECT_MOVECHAN, CONNECT_MOVECHANINFO> {};

class CSV_ASK_ENTERCHAN final : public CMessage<CSV_ASK_ENTERCHAN> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_ENTERCHAN;

    le_int32* GroupNo = nullptr;
    le_int32* ChanNo = nullptr;

    bool Set(std::int32_t groupNo, std::int32_t chanNo);

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(GroupNo);
        parts.Part(ChanNo);
    }
};

class CSV_ACCEPT_ENTERCHAN final : public CRecordMessage<msgid::CSV_ACCEPT_ENTERCHAN, ENTERCHANINFO> {};

// An id of 20 bytes or more is sent as an all-zero field.
class CSV_ASK_FINDID final : public CMessage<CSV_ASK_FINDID> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ASK_FINDID;

    FixedText<20>* UserID = nullptr;

    bool Set(std::string_view id);

    template <typename Parts>
    void Layout(Parts& parts) { parts.Part(UserID); }
};

class CSV_RESULT_FINDID final : public CRecordMessage<msgid::CSV_RESULT_FINDID, FINDIDRESULT> {};

class CSV_ASK_ALLCHANINFO final : public CEmptyMessage<msgid::CSV_ASK_ALLCHANINFO> {};

class CSV_ALLCHANINFO final : public CMessage<CSV_ALLCHANINFO> {
public:
    static constexpr std::int16_t MSGID = msgid::CSV_ALLCHANINFO;

    le_int32* GroupCnt = nullptr;
    le_int32* ChanCnt = nullptr;
    CHANNELGROUPINFO* Groups = nullptr;
    CHANNELINFO* Channels = nullptr;

    bool Set(std::span<const CHANNELGROUPINFO> groups, std::span<const CHANNELINFO> channels);

    std::span<const CHANNELGROUPINFO> GroupList() const;
    std::span<const CHANNELINFO> ChannelList() const;

    template <typename Parts>
    void Layout(Parts& parts)
    {
        parts.Part(GroupCnt);
        parts.Part(ChanCnt);
        parts.Array(Groups, LengthOf(GroupCnt));
        parts.Array(Channels, LengthOf(ChanCnt));
    }
};

// A channel's name as the channel screen shows it: the name of the first
// group with the channel's group number, a hyphen and the channel number;
// empty when no group matches.
std::string ChannelDisplayName(std::span<const CHANNELGROUPINFO> groups, const CHANNELINFO& channel);

}  // namespace tovrik::protocol
