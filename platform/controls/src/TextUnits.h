#pragma once
// The characters of a code page 949 text as the text controls lay them out:
// each unit is one character (one byte, or a lead and trail byte pair) with
// the code point it is shown as and the pixels it advances. A byte that
// starts no valid character is a unit of its own shown as U+FFFD, so bad
// input stays visible and the caret can step over it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"

namespace tovrik::controls {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

struct TextUnit {
  std::size_t offset = 0;  // first byte in the text
  std::size_t length = 0;  // 1 or 2
  char32_t codepoint = 0;
};

std::vector<TextUnit> SplitCp949(std::string_view cp949);
// The code point one character (a unit's bytes) is shown as.
char32_t CodepointOfCp949(std::string_view character);
void AppendCodepoint(std::string& out, char32_t codepoint);

// The advance of a character in a font, remembered per font: wrapping and
// caret placement ask for it often.
int AdvanceOf(const platform::Font& font, char32_t codepoint);

// The longest prefix of `cp949` (in bytes) that holds whole characters only
// and at most `room` bytes.
std::size_t FitWholeCharacters(std::string_view cp949, std::size_t room);

}  // namespace tovrik::controls

namespace tovrik::controls {

// Comparisons of code page 949 texts that ignore the case of ASCII letters,
// as list searches do; the bytes of double-byte characters are compared
// exactly (a trail byte may look like a letter).
bool StartsWithIgnoringCase(std::string_view cp949, std::string_view prefix);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// < 0, 0, > 0 as a sorts before, with or after b.
int CompareIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tovrik::controls
