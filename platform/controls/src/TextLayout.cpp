#include "controls/TextLayout.h"

#include <algorithm>

#include "base/CodePage.h"

namespace tovrik::controls {
using base::Utf8CharLength;
using platform::Font;
using platform::PixelView;
using platform::Rect;
using platform::RgbColor;

namespace {

std::vector<std::string_view> Paragraphs(std::string_view utf8, bool singleLine) {
  std::vector<std::string_view> out;
  if (singleLine) {
    out.push_back(utf8);
    return out;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t end = utf8.find('\n', start);
    std::string_view line = utf8.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.push_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return out;
}

int Width(const Font& font, std::string_view utf8) { return font.Extent(utf8).width; }

// The longest run of whole characters from the start of `word` that fits,
// at least one character so that breaking always moves on.
std::size_t FittingPrefix(const Font& font, std::string_view word, int width) {
  std::size_t fit = Utf8CharLength(word, 0);
  for (std::size_t at = fit; at < word.size();) {
    const std::size_t next = at + Utf8CharLength(word, at);
    if (Width(font, word.substr(0, next)) > width) break;
    fit = at = next;
  }
  return fit;
}

// Breaks one paragraph at spaces (and inside words too wide for a line).
void BreakParagraph(const Font& font, std::string_view text, int width, bool wordEllipsis,
                    std::vector<std::string>& lines) {
  std::string line;
  bool broken = false;  // a line of this paragraph ended: the next starts at its word
  auto flush = [&] {
    lines.push_back(std::move(line));
    line.clear();
    broken = true;
  };
  std::size_t at = 0;
  bool any = false;
  while (at < text.size()) {
    const std::size_t spaces = text.find_first_not_of(' ', at);
    if (spaces == std::string_view::npos) break;
    const std::size_t wordEnd = std::min(text.find(' ', spaces), text.size());
    std::string_view word = text.substr(spaces, wordEnd - spaces);
    const std::string_view gap = text.substr(at, spaces - at);
    at = wordEnd;
    any = true;
    std::string candidate = (line.empty() && broken) ? std::string(word) : line + std::string(gap) + std::string(word);
    if (Width(font, candidate) <= width) {
      line = std::move(candidate);
      continue;
    }
    if (!line.empty()) flush();
    broken = true;
    if (Width(font, word) <= width) {
      line = std::string(word);
      continue;
    }
    if (wordEllipsis) {
      line = platform::FitWithEllipsis(font, word, width);
      flush();
      continue;
    }
    while (!word.empty() && Width(font, word) > width) {
      const std::size_t fit = FittingPrefix(font, word, width);
      lines.emplace_back(word.substr(0, fit));
      word.remove_prefix(fit);
    }
    line = std::string(word);
  }
  if (!line.empty() || !any) flush();
}

}  // namespace

std::vector<std::string> LayoutLines(const Font& font, std::string_view utf8, int width, unsigned format) {
  std::vector<std::string> lines;
  if (utf8.empty()) return lines;
  const bool singleLine = (format & DT_SINGLELINE) != 0;
  for (std::string_view paragraph : Paragraphs(utf8, singleLine)) {
    if (singleLine) {
      std::string line(paragraph);
      std::erase_if(line, [](char c) { return c == '\n' || c == '\r'; });
      lines.push_back(std::move(line));
    } else if ((format & DT_WORDBREAK) && width > 0) {
      BreakParagraph(font, paragraph, width, (format & DT_WORD_ELLIPSIS) != 0, lines);
    } else {
      lines.emplace_back(paragraph);
    }
  }
  const bool shortenWords = (format & DT_WORD_ELLIPSIS) && !(format & DT_WORDBREAK);
  if ((format & DT_END_ELLIPSIS) || shortenWords)
    for (std::string& line : lines) line = platform::FitWithEllipsis(font, line, width);
  return lines;
}

int DrawText(const PixelView& target, const Font& font, std::string_view utf8, Rect& box, unsigned format,
             RgbColor colour, Rect clip) {
  const std::vector<std::string> lines = LayoutLines(font, utf8, box.Width(), format);
  const int lineHeight = font.LineHeight();
  const int height = static_cast<int>(lines.size()) * lineHeight;
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, Width(font, line));
    box = Rect::FromSize(box.left, box.top, widest, height);
    return height;
  }
  if (!target.IsValid() || lines.empty()) return height;
  const Rect area = (format & DT_NOCLIP) ? clip : clip.Intersect(box);
  int y = box.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = box.top + (box.Height() - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = box.bottom - lineHeight;
  }
  for (const std::string& line : lines) {
    if (y >= area.bottom) break;
    if (y + lineHeight > area.top) {
      const int width = Width(font, line);
      int x = box.left;
      if (format & DT_CENTER) x = box.left + (box.Width() - width) / 2;
      else if (format & DT_RIGHT) x = box.right - width;
      platform::TextOut(target, font, x, y, line, colour, area);
    }
    y += lineHeight;
  }
  return height;
}

int DrawText(const PixelView& target, const Font& font, std::string_view utf8, Rect& box, unsigned format,
             RgbColor colour) {
  return controls::DrawText(target, font, utf8, box, format, colour, platform::Bounds(target));
}

int DrawTextCp949(const PixelView& target, const Font& font, std::string_view cp949, Rect& box, unsigned format,
                  RgbColor colour, Rect clip) {
  return controls::DrawText(target, font, base::Cp949ToUtf8(cp949), box, format, colour, clip);
}

}  // namespace tovrik::controls
