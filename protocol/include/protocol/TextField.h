#pragma once

// Code page 949 text in fixed fields and variable parts.
//
// Lengths and cuts count bytes of the encoding. A byte from 0x81 to 0xFE
// starts a two-byte character, so a cut never keeps a lead byte without the
// byte that follows it. Text arguments are taken up to their first zero byte,
// as the zero-terminated strings the fields were designed for.

#include <cstddef>
#include <span>
#include <string_view>

namespace tovrik::protocol {

// True for the first byte of a two-byte code page 949 character.
constexpr bool IsCp949LeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// The text up to (not including) its first zero byte.
std::string_view UntilZero(std::string_view text);

// The longest prefix of at most `limit` bytes that ends on a character boundary.
std::string_view Cp949Head(std::string_view text, std::size_t limit);

// The longest suffix of at most `limit` bytes that starts on a character boundary.
std::string_view Cp949Tail(std::string_view text, std::size_t limit);

// Copy if shorter: the field is zeroed and receives the text only when the
// text, with its terminating zero, fits; a text as long as the field or
// longer leaves the field all zeros rather than sending a cut value.
void CopyIfShorter(std::span<char> field, std::string_view text);

// Copy at most n: the field is zeroed and receives at most n bytes of the
// text (fewer when byte n would split a character). n is capped at the field
// width minus one so that the field stays zero-terminated.
void CopyAtMost(std::span<char> field, std::string_view text, std::size_t n);

// The ID field of a relay record built by the game: at most 15 bytes.
void SetRelayID(std::span<char> field, std::string_view id);

// The text held by a fixed field: up to its first zero byte, and never past
// the field's width when the field has no zero byte.
std::string_view ReadText(std::span<const char> field);

}  // namespace tovrik::protocol
