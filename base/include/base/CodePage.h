#pragma once
// The one converter between code page 949 (the system's texts: records, the
// wire, resources) and UTF-8 (logs, configuration files, what SDL and the
// font renderer take), for the client, the server and the robots alike.
//
// Nothing here fails, and no input is lost silently. The policy for bytes
// that cannot be converted:
// - code page 949 to UTF-8: a byte that starts no valid character becomes
//   one U+FFFD and only that byte is dropped, so an ASCII byte after a bad
//   lead byte survives; a lead byte cut off at the end of the text becomes
//   U+FFFD too.
// - UTF-8 to code page 949: a character without a code page 949 form, a
//   malformed sequence or one cut off at the end becomes one "?"; a bad
//   sequence swallows its own continuation bytes and nothing else.
// Fixed fields are never read or written past their size.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::base {

// Converts all of `cp949` (embedded zero bytes included).
std::string Cp949ToUtf8(std::string_view cp949);
// Converts a zero-terminated text held in a fixed field: up to the first
// zero byte, or the whole field when it has none.
std::string Cp949FieldToUtf8(std::span<const char> field);
std::string Cp949FieldToUtf8(std::span<const std::uint8_t> field);

std::string Utf8ToCp949(std::string_view utf8);
// Writes `utf8` into a fixed field as zero-terminated code page 949, cut at
// a character boundary so that the terminator always fits; the rest of the
// field is zeroed. Returns the number of text bytes written (without the
// terminator); 0 for an empty field.
std::size_t Utf8ToCp949Field(std::string_view utf8, std::span<char> field);

// The characters of a code page 949 text as WM_CHAR values: a single byte, or
// a double-byte character as lead byte | trail byte << 8.
std::vector<std::uint16_t> Cp949Characters(std::string_view cp949);
// The byte length of the UTF-8 character starting at `at` (1 for a stray
// byte), never past the end of `utf8`.
std::size_t Utf8CharLength(std::string_view utf8, std::size_t at);

// Whether `byte` starts a double-byte character.
constexpr bool IsCp949LeadByte(std::uint8_t byte) { return byte >= 0x81 && byte <= 0xFE; }
// Whether `byte` may follow a lead byte as the second byte of a character.
constexpr bool IsCp949TrailByte(std::uint8_t byte) {
  return (byte >= 0x41 && byte <= 0x5A) || (byte >= 0x61 && byte <= 0x7A) || (byte >= 0x81 && byte <= 0xFE);
}
// The byte length of the code page 949 character starting at `at`: 2 for a
// lead byte followed by a byte that may trail it, 1 for any other byte (a
// lead byte cut off at the end included), 0 at or past the end. Editors
// step, cut and count by these units, so a double-byte character is never
// split.
constexpr std::size_t Cp949CharLength(std::string_view cp949, std::size_t at) {
  if (at >= cp949.size()) return 0;
  if (at + 1 < cp949.size() && IsCp949LeadByte(static_cast<std::uint8_t>(cp949[at])) &&
      IsCp949TrailByte(static_cast<std::uint8_t>(cp949[at + 1])))
    return 2;
  return 1;
}

}  // namespace tovrik::base
