#pragma once
// Text on pages: a line of text in a colour on a transparent background, at
// a point or aligned in a rectangle, on a 16-bit page or an 8-bit page (the
// colour becomes the nearest palette index), plus its extent. Glyphs are
// drawn without smoothing, as the small bitmap faces of the original screens
// were, so the same pixels come out on both kinds of page.
//
// Texts are UTF-8; the *Cp949 forms take the system's own code page 949
// texts. Faces are named as the screens name them ("굴림체", 12 pixels); the
// one mapping from those names to the installed Nanum fonts is FontFileFor.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Surface.h"

typedef struct _TTF_Font TTF_Font;

namespace tovrik::platform {

struct TextSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const TextSize&, const TextSize&) = default;
};

// DrawText layout flags (the values of the Windows call).
inline constexpr unsigned DT_LEFT = 0x0000;
inline constexpr unsigned DT_CENTER = 0x0001;
inline constexpr unsigned DT_RIGHT = 0x0002;
inline constexpr unsigned DT_VCENTER = 0x0004;
inline constexpr unsigned DT_BOTTOM = 0x0008;
inline constexpr unsigned DT_SINGLELINE = 0x0020;
inline constexpr unsigned DT_NOCLIP = 0x0100;
inline constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// The font file standing in for a face: "굴림체" and the other fixed-pitch
// faces map to NanumGothicCoding, every other face to NanumGothic; bold picks
// the bold file. Fonts are looked for in $TOVRIK_FONT_DIR, then in the
// system's Nanum folder.
std::filesystem::path FontFileFor(std::string_view faceUtf8, bool bold);

class Font {
 public:
  // A font of `pixelHeight` pixels (the em height, a GDI height of -pixels),
  // shared and kept for the life of the process. Null when the font file or
  // the font renderer is missing.
  static std::shared_ptr<Font> Get(std::string_view faceUtf8, int pixelHeight, bool bold = false);
  // "굴림체" at 12 pixels, normal and bold at 14: the faces of the screens.
  static std::shared_ptr<Font> Default() { return Get("굴림체", 12, false); }
  static std::shared_ptr<Font> DefaultBold() { return Get("굴림체", 14, true); }

  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // Height of a line: every glyph of a line lies within it.
  int LineHeight() const;
  TextSize Extent(std::string_view utf8) const;
  // How far one character moves the pen: the width it takes in a line (0
  // when the font has no metrics for it).
  int Advance(char32_t codepoint) const;
  TTF_Font* Native() const { return font_; }

 private:
  Font(std::shared_ptr<const std::vector<unsigned char>> file, TTF_Font* font)
      : file_(std::move(file)), font_(font) {}
  // The font file, read once and shared by its sizes: the renderer reads
  // glyphs as it draws them, and from memory that costs no system calls.
  std::shared_ptr<const std::vector<unsigned char>> file_;
  TTF_Font* font_;
};

// Draws one line with its top-left corner at (x, y). Pixels outside `clip`
// (and the target) stay untouched. False when nothing could be drawn
// (no font, unusable target); an empty text is drawn successfully.
bool TextOut(const PixelView& target, const Font& font, int x, int y, std::string_view utf8, RgbColor colour,
             Rect clip);
bool TextOut(const PixelView& target, const Font& font, int x, int y, std::string_view utf8, RgbColor colour);

// Lays text out in `box` by `format`. Lines break at '\n' unless
// DT_SINGLELINE; DT_END_ELLIPSIS shortens a line that is too wide and ends
// it with "..."; the text is clipped to the box unless DT_NOCLIP. Vertical
// placement (DT_VCENTER, DT_BOTTOM) applies to single lines.
bool DrawText(const PixelView& target, const Font& font, std::string_view utf8, Rect box, unsigned format,
              RgbColor colour, Rect clip);
bool DrawText(const PixelView& target, const Font& font, std::string_view utf8, Rect box, unsigned format,
              RgbColor colour);

// The same for code page 949 texts.
bool TextOutCp949(const PixelView& target, const Font& font, int x, int y, std::string_view cp949, RgbColor colour);
bool DrawTextCp949(const PixelView& target, const Font& font, std::string_view cp949, Rect box, unsigned format,
                   RgbColor colour);
TextSize GetTextExtentCp949(const Font& font, std::string_view cp949);

// What DT_END_ELLIPSIS would draw in `width` pixels.
std::string FitWithEllipsis(const Font& font, std::string_view utf8, int width);

}  // namespace tovrik::platform
