#pragma once
// The look of the unskinned controls: the classic system colours and the
// raised and sunken edges drawn with them. Skinned controls paint over it.

#include <string_view>

#include "platform/Surface.h"
#include "controls/TextLayout.h"
#include "platform/Text.h"
#include "platform/Window.h"

namespace tovrik::controls {

struct SystemColours {
  static constexpr platform::RgbColor kFace{212, 208, 200};
  static constexpr platform::RgbColor kHighlight{255, 255, 255};
  static constexpr platform::RgbColor kShadow{128, 128, 128};
  static constexpr platform::RgbColor kDarkShadow{64, 64, 64};
  static constexpr platform::RgbColor kWindow{255, 255, 255};
  static constexpr platform::RgbColor kText{0, 0, 0};
  static constexpr platform::RgbColor kGreyText{128, 128, 128};
  static constexpr platform::RgbColor kSelection{10, 36, 106};
  static constexpr platform::RgbColor kSelectionText{255, 255, 255};
  static constexpr platform::RgbColor kInfoBackground{255, 255, 225};
};

// A one-pixel frame around `rect` (client coordinates).
void DrawFrame(const platform::PaintContext& pc, platform::Rect rect, platform::RgbColor colour);
// The two-pixel edge of a button: raised (light top-left) or sunken.
void DrawEdge(const platform::PaintContext& pc, platform::Rect rect, bool raised);

// Draws a caption (UTF-8) in the client rectangle `box` with DrawText
// flags; nothing when the font is missing.
void DrawCaption(const platform::PaintContext& pc, std::string_view utf8, platform::Rect box, unsigned format,
                 platform::RgbColor colour);

}  // namespace tovrik::controls
