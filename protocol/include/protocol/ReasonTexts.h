#pragma once

// The texts the client shows for the servers' refusal and result codes.
// The texts are UTF-8, ready for the user interface.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tovrik::protocol {

// For the result of a channel entry (ENTERCHANINFO.Result): the refusal to
// show, or nothing when the channel was entered (0 or more) or the message is
// to be ignored (below -99).
std::optional<std::string_view> EnterChanResultText(std::int32_t result);

// For the reason code of CSV_REFUSE_ENTERROOM.
std::string_view EnterRoomRefusalText(std::int32_t code);

// For the reason code of CSV_REFUSE_CREATEROOM: nothing for code 999, which
// is refused without a message.
std::optional<std::string_view> CreateRoomRefusalText(std::int32_t code);

}  // namespace tovrik::protocol
