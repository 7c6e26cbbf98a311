#include "controls/Static.h"

#include "controls/Look.h"
#include "controls/TextLayout.h"

namespace tovrik::controls {

void Static::OnPaint(platform::PaintContext& pc) {
  pc.Fill(GetClientRect(), SystemColours::kFace);
  unsigned format = DT_WORDBREAK;
  if ((Style() & 0x3) == SS_CENTER) format |= DT_CENTER;
  if ((Style() & 0x3) == SS_RIGHT) format |= DT_RIGHT;
  DrawCaption(pc, GetWindowText(), GetClientRect(), format,
              IsWindowEnabled() ? SystemColours::kText : SystemColours::kGreyText);
}

}  // namespace tovrik::controls
