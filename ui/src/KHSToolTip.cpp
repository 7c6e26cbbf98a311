#include "ui/KHSToolTip.h"

#include "base/CodePage.h"

namespace tovrik::ui {

bool CKHSToolTip::WndTip(platform::Window& control, std::string_view cp949Text) {
  return AddTool(control, base::Cp949ToUtf8(cp949Text));
}

bool CKHSToolTip::RectTip(platform::Window& window, std::string_view cp949Text, const platform::Rect& rect,
                          int toolId) {
  return AddTool(window, toolId, rect, base::Cp949ToUtf8(cp949Text));
}

}  // namespace tovrik::ui
