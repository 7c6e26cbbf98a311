#pragma once
// The path every received chat line, whisper and notice takes before it is
// shown: control bytes out, the cut to the receiving buffer on a character
// boundary, and the portal word filter. Texts here are code page 949, as
// they came from the wire.

#include <cstddef>
#include <string>
#include <string_view>

namespace tovrik::app {

// The word filter writes into a buffer of this size (terminator included).
inline constexpr std::size_t kFilterBufferSize = 512;
// Room chat lines are cut to this many bytes before anything else.
inline constexpr std::size_t kRoomChatMaxBytes = 255;
// Invitation texts are cut to this many bytes.
inline constexpr std::size_t kInviteTextMaxBytes = 512;

// Every byte below 0x20 and 0x7F becomes a space, wherever it stands, so a
// received text cannot open a line of its own (a forged server notice, a
// forged line of another user) in the chat or in the hidden log. Bytes of
// two-byte characters are never below 0x41, so none of them is touched.
std::string SanitizeChatText(std::string_view cp949);

// The longest head of at most `limit` bytes that does not split a two-byte
// character.
std::string_view CutCp949(std::string_view cp949, std::size_t limit);

// The text with offending words masked by "*". The filter's buffer starts
// filled with the text itself (cut to fit on a character boundary), so a
// filter that is not loaded, or that writes nothing, passes the text on
// unchanged instead of showing whatever the buffer held.
std::string FilterChatText(std::string_view cp949);

}  // namespace tovrik::app
