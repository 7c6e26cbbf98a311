#pragma once
// The lobby's tooltips: texts in code page 949 for whole controls or for
// rectangles of a window, shown by the standard tooltip.

#include <string_view>

#include "controls/ToolTip.h"

namespace tovrik::ui {

class CKHSToolTip : public controls::ToolTip {
 public:
  // A tool covering all of `control`. True when it was added.
  bool WndTip(platform::Window& control, std::string_view cp949Text);
  // A tool covering `rect` of `window` (client coordinates), named `toolId`.
  bool RectTip(platform::Window& window, std::string_view cp949Text, const platform::Rect& rect, int toolId);
};

}  // namespace tovrik::ui
