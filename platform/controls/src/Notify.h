#pragma once
// How a control tells its parent what happened: WM_COMMAND with the
// control's id in the low word, the notification code in the high word and
// the control's handle in lParam.

#include "platform/Window.h"

namespace tovrik::controls {

inline void NotifyParent(platform::Window& control, unsigned code) {
  if (platform::Window* parent = control.Parent())
    parent->SendMessage(platform::WM_COMMAND, platform::MakeWParam(static_cast<unsigned>(control.Id()), code),
                        static_cast<platform::LParam>(control.Handle()));
}

}  // namespace tovrik::controls
